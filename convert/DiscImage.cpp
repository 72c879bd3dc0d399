// The image's layout. Sectors 16 and 17 hold ISO 9660's descriptors, 18 to 20 announce UDF,
// 32 and 48 UDF's two volume descriptor sequences, 64 its integrity, 256 its anchor; after
// it ISO 9660's path tables and folders; then UDF's partition with its file set, folders and
// file entries, and the files.
#include "convert/DiscImage.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <tuple>
#include <cstdlib>

namespace convert {

namespace {

constexpr std::uint32_t kAnchor = 256, kMainSequence = 32, kReserveSequence = 48, kIntegrity = 64;
constexpr std::uint32_t kExtentMost = (1u << 30) - static_cast<std::uint32_t>(kSector);  // UDF's longest extent

std::uint32_t SectorsFor(std::int64_t bytes)
{
    return static_cast<std::uint32_t>((bytes + kSector - 1) / kSector);
}

// Writes little- and big-endian numbers, texts and UDF's structures into a buffer of sectors.
class TSectors {
public:
    explicit TSectors(std::vector<std::uint8_t>& bytes, std::size_t base = 0) : bytes_(bytes), base_(base) {}
    std::uint8_t* At(std::size_t offset) { return bytes_.data() + base_ + offset; }
    void U8(std::size_t at, unsigned v) { *At(at) = static_cast<std::uint8_t>(v); }
    void Le16(std::size_t at, unsigned v) { U8(at, v & 0xFF), U8(at + 1, (v >> 8) & 0xFF); }
    void Be16(std::size_t at, unsigned v) { U8(at, (v >> 8) & 0xFF), U8(at + 1, v & 0xFF); }
    void Le32(std::size_t at, std::uint32_t v) { Le16(at, v & 0xFFFF), Le16(at + 2, v >> 16); }
    void Be32(std::size_t at, std::uint32_t v) { Be16(at, v >> 16), Be16(at + 2, v & 0xFFFF); }
    void Le64(std::size_t at, std::uint64_t v) { Le32(at, static_cast<std::uint32_t>(v)), Le32(at + 4, static_cast<std::uint32_t>(v >> 32)); }
    void Both16(std::size_t at, unsigned v) { Le16(at, v), Be16(at + 2, v); }
    void Both32(std::size_t at, std::uint32_t v) { Le32(at, v), Be32(at + 4, v); }
    void Text(std::size_t at, std::string_view text) { std::memcpy(At(at), text.data(), text.size()); }
    void Padded(std::size_t at, std::string_view text, std::size_t size)
    {
        std::memset(At(at), ' ', size);
        Text(at, text.substr(0, size));
    }

    // UDF: a descriptor's tag, its checksum and CRC made once the body is written.
    void Tag(std::size_t at, unsigned id, std::uint32_t location, std::size_t length)
    {
        Le16(at, id), Le16(at + 2, 2), Le16(at + 10, static_cast<unsigned>(length - 16)), Le32(at + 12, location);
        Le16(at + 8, UdfCrc(At(at + 16), length - 16));
        unsigned sum = 0;
        for (std::size_t i = 0; i < 16; ++i)
            if (i != 4) sum += *At(at + i);
        U8(at + 4, sum & 0xFF);
    }
    void Charspec(std::size_t at) { Text(at + 1, "OSTA Compressed Unicode"); }
    void Timestamp(std::size_t at, const DiscTime& t)
    {
        Le16(at, 0x1000);  // local time, at UTC
        Le16(at + 2, static_cast<unsigned>(t.year));
        U8(at + 4, static_cast<unsigned>(t.month)), U8(at + 5, static_cast<unsigned>(t.day));
        U8(at + 6, static_cast<unsigned>(t.hour)), U8(at + 7, static_cast<unsigned>(t.minute)), U8(at + 8, static_cast<unsigned>(t.second));
    }
    // An entity identifier; a UDF one carries the revision, 1.02.
    void Regid(std::size_t at, std::string_view id, bool udfSuffix)
    {
        Text(at + 1, id);
        if (udfSuffix) Le16(at + 24, 0x0102);
    }
    void ImplementationId(std::size_t at) { Regid(at, "*Mervane", false); }
    // A fixed-size text field: its compressed Unicode, its length in the last byte.
    void Dstring(std::size_t at, const std::u16string& text, std::size_t size)
    {
        const std::size_t used = Compressed(at, text, size - 1);
        if (used > 1) U8(at + size - 1, static_cast<unsigned>(used));
    }
    // Compressed Unicode: 8 bits a character where all fit, else 16; at most `room` bytes.
    std::size_t Compressed(std::size_t at, const std::u16string& text, std::size_t room)
    {
        const bool wide = std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
        const std::size_t count = std::min(text.size(), (room - 1) / (wide ? 2 : 1));
        U8(at, wide ? 16 : 8);
        for (std::size_t i = 0; i < count; ++i) {
            if (wide) Be16(at + 1 + 2 * i, text[i]);
            else U8(at + 1 + i, text[i]);
        }
        return 1 + count * (wide ? 2 : 1);
    }
    void ExtentAd(std::size_t at, std::uint32_t length, std::uint32_t location) { Le32(at, length), Le32(at + 4, location); }
    void LongAd(std::size_t at, std::uint32_t length, std::uint32_t block, std::uint32_t uniqueId = 0)
    {
        Le32(at, length), Le32(at + 4, block), Le32(at + 12, uniqueId);
    }

private:
    std::vector<std::uint8_t>& bytes_;
    std::size_t base_;
};

// UTF-8 to UTF-16, enough for a disc's name.
std::u16string Utf16(const std::string& text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        std::uint32_t code = extra ? c & (0x3F >> extra) : c;
        for (int k = 1; k <= extra && i + k < text.size(); ++k) code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += 1 + extra;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

// ISO 9660's volume name: capitals, digits and underscores, at most 32.
std::string IsoVolumeName(const std::string& name)
{
    std::string out;
    for (char c : name) {
        if (out.size() == 32) break;
        if (c >= 'a' && c <= 'z') out += static_cast<char>(c - 'a' + 'A');
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) out += c;
        else if (!out.empty() && out.back() != '_') out += '_';
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out.empty() ? "DVD_VIDEO" : out;
}

std::size_t IsoRecordLength(const std::string& name) { return 33 + name.size() + (name.size() % 2 == 0 ? 1 : 0); }

// ISO 9660's record of a file or folder; returns its length. `name` is a single byte for
// "." (0) and ".." (1).
std::size_t IsoRecord(TSectors& s, std::size_t at, const std::string& name, std::uint32_t sector, std::uint32_t size,
                      bool folder, const DiscTime& t)
{
    const std::size_t length = IsoRecordLength(name);
    s.U8(at, static_cast<unsigned>(length));
    s.Both32(at + 2, sector), s.Both32(at + 10, size);
    s.U8(at + 18, static_cast<unsigned>(t.year - 1900)), s.U8(at + 19, static_cast<unsigned>(t.month)), s.U8(at + 20, static_cast<unsigned>(t.day));
    s.U8(at + 21, static_cast<unsigned>(t.hour)), s.U8(at + 22, static_cast<unsigned>(t.minute)), s.U8(at + 23, static_cast<unsigned>(t.second));
    s.U8(at + 25, folder ? 2 : 0);
    s.Both16(at + 28, 1);
    s.U8(at + 32, static_cast<unsigned>(name.size()));
    s.Text(at + 33, name);
    return length;
}

std::string IsoDate(const DiscTime& t)
{
    char text[20];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d00", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return text;
}

// A folder's entries as ISO 9660 lists them: sorted, none across a sector's end.
struct IsoEntry {
    std::string name;
    std::uint32_t sector, size;
    bool folder;
};
// Its name as its record holds it: a file's with its version, ";1".
std::string IsoRecordName(const IsoEntry& e) { return e.folder ? e.name : e.name + ";1"; }
std::uint32_t IsoFolderSectors(const std::vector<IsoEntry>& entries)
{
    std::size_t sectors = 1, used = 34 * 2;  // "." and ".."
    for (const IsoEntry& e : entries) {
        const std::size_t length = IsoRecordLength(IsoRecordName(e));
        if (used + length > kSector) ++sectors, used = 0;
        used += length;
    }
    return static_cast<std::uint32_t>(sectors);
}
void IsoFolder(TSectors& s, std::uint32_t sector, std::uint32_t parent, std::uint32_t parentSize,
               std::vector<IsoEntry> entries, const DiscTime& t)
{
    std::sort(entries.begin(), entries.end(), [](const IsoEntry& a, const IsoEntry& b) { return a.name < b.name; });
    const std::uint32_t size = IsoFolderSectors(entries) * static_cast<std::uint32_t>(kSector);
    std::size_t at = sector * kSector;
    at += IsoRecord(s, at, std::string(1, '\0'), sector, size, true, t);
    at += IsoRecord(s, at, std::string(1, '\1'), parent, parentSize, true, t);
    for (const IsoEntry& e : entries) {
        const std::string name = IsoRecordName(e);
        if (at % kSector + IsoRecordLength(name) > kSector) at += kSector - at % kSector;
        at += IsoRecord(s, at, name, e.sector, e.size, e.folder, t);
    }
}

// A UDF file identifier: returns its length, a multiple of four.
std::size_t FileIdentifier(TSectors& s, std::size_t at, std::uint32_t block, const std::string& name, unsigned characteristics,
                           std::uint32_t entryBlock, std::uint32_t uniqueId)
{
    s.Le16(at + 16, 1);
    s.U8(at + 18, characteristics);
    s.LongAd(at + 20, static_cast<std::uint32_t>(kSector), entryBlock, uniqueId);
    const std::size_t nameLength = name.empty() ? 0 : s.Compressed(at + 38, Utf16(name), 255);
    s.U8(at + 19, static_cast<unsigned>(nameLength));
    const std::size_t length = (38 + nameLength + 3) / 4 * 4;
    s.Tag(at, 257, block, length);
    return length;
}

struct UdfChild {
    std::string name;
    std::uint32_t entryBlock, uniqueId;
    bool folder;
};
std::size_t FolderDataLength(const std::vector<UdfChild>& children)
{
    std::size_t length = 40;  // the parent's
    for (const UdfChild& c : children) length += (38 + 1 + c.name.size() + 3) / 4 * 4;
    return length;
}

// A UDF file entry at `block` of the partition: a folder or a file, its data in extents from
// `dataBlock` on.
void FileEntry(TSectors& s, std::size_t at, std::uint32_t block, bool folder, std::uint64_t size, std::uint32_t dataBlock,
               unsigned links, std::uint32_t uniqueId, const DiscTime& t)
{
    s.Le16(at + 16 + 4, 4);               // strategy 4
    s.Le16(at + 16 + 8, 1);               // one entry
    s.U8(at + 16 + 11, folder ? 4 : 5);   // folder or file
    s.Le32(at + 36, 0xFFFFFFFF), s.Le32(at + 40, 0xFFFFFFFF);
    s.Le32(at + 44, folder ? 0x14A5 : 0x1084);  // read (and look in) for all
    s.Le16(at + 48, links);
    s.Le64(at + 56, size);
    s.Le64(at + 64, SectorsFor(static_cast<std::int64_t>(size)));
    s.Timestamp(at + 72, t), s.Timestamp(at + 84, t), s.Timestamp(at + 96, t);
    s.Le32(at + 108, 1);
    s.ImplementationId(at + 128);
    s.Le64(at + 160, uniqueId);
    std::size_t ads = 0;
    for (std::uint64_t left = size, next = dataBlock; left > 0; ads += 8) {
        const std::uint32_t extent = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, kExtentMost));
        s.Le32(at + 176 + ads, extent), s.Le32(at + 180 + ads, static_cast<std::uint32_t>(next));
        left -= extent, next += SectorsFor(extent);
    }
    s.Le32(at + 172, static_cast<std::uint32_t>(ads));
    s.Tag(at, 261, block, 176 + ads);
}

// UDF's primary and implementation use volume descriptors at `sector` and the next.
void VolumeNames(TSectors& s, std::uint32_t sector, const std::u16string& name, const DiscTime& t)
{
    std::size_t at = sector * kSector;
    s.Le32(at + 16, 1);
    s.Dstring(at + 24, name, 32);
    s.Le16(at + 56, 1), s.Le16(at + 58, 1), s.Le16(at + 60, 2), s.Le16(at + 62, 2);
    s.Le32(at + 64, 1), s.Le32(at + 68, 1);
    char set[17];
    std::snprintf(set, sizeof set, "%04d%02d%02d%02d%02d%02d", t.year % 10000, t.month, t.day, t.hour, t.minute, t.second);
    s.Dstring(at + 72, Utf16(set) + u" " + name, 128);
    s.Charspec(at + 200), s.Charspec(at + 264);
    s.Timestamp(at + 376, t);
    s.ImplementationId(at + 388);
    s.Tag(at, 1, sector, 512);

    at += kSector;
    s.Le32(at + 16, 2);
    s.Regid(at + 20, "*UDF LV Info", true);
    s.Charspec(at + 52);
    s.Dstring(at + 116, name, 128);
    s.ImplementationId(at + 352);
    s.Tag(at, 4, sector + 1, 512);
}

// UDF's volume descriptor sequence from `sector`: its names, then its partition, logical
// volume and unallocated space descriptors, and its end.
void VolumeSequence(TSectors& s, std::uint32_t sector, const std::u16string& name, std::uint32_t partition,
                    std::uint32_t partitionLength, const DiscTime& t)
{
    VolumeNames(s, sector, name, t);
    std::size_t at = (sector + 2) * kSector;
    s.Le32(at + 16, 3);
    s.Le16(at + 20, 1);  // allocated
    s.Regid(at + 24, "+NSR02", false);
    s.Le32(at + 184, 1);  // read only
    s.Le32(at + 188, partition), s.Le32(at + 192, partitionLength);
    s.ImplementationId(at + 196);
    s.Tag(at, 5, sector + 2, 512);

    at += kSector;
    s.Le32(at + 16, 4);
    s.Charspec(at + 20);
    s.Dstring(at + 84, name, 128);
    s.Le32(at + 212, static_cast<std::uint32_t>(kSector));
    s.Regid(at + 216, "*OSTA UDF Compliant", true);
    s.LongAd(at + 248, static_cast<std::uint32_t>(kSector), 0);  // the file set, first in the partition
    s.Le32(at + 264, 6), s.Le32(at + 268, 1);
    s.ImplementationId(at + 272);
    s.ExtentAd(at + 432, 2 * static_cast<std::uint32_t>(kSector), kIntegrity);
    s.U8(at + 440, 1), s.U8(at + 441, 6), s.Le16(at + 442, 1), s.Le16(at + 444, 0);
    s.Tag(at, 6, sector + 3, 446);

    at += kSector;
    s.Le32(at + 16, 5);
    s.Tag(at, 7, sector + 4, 24);
    s.Tag(at + kSector, 8, sector + 5, 512);
}

void Anchor(TSectors& s, std::size_t at, std::uint32_t sector)
{
    s.ExtentAd(at + 16, 16 * static_cast<std::uint32_t>(kSector), kMainSequence);
    s.ExtentAd(at + 24, 16 * static_cast<std::uint32_t>(kSector), kReserveSequence);
    s.Tag(at, 2, sector, 512);
}

}  // namespace

std::uint16_t UdfCrc(const std::uint8_t* data, std::size_t size)
{
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint16_t>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit) crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

std::vector<DiscFile> DvdOrder(std::vector<DiscFile> files)
{
    // VIDEO_TS before VTS_; within a set its IFO, its VOBs by number (VTS_01_2 before
    // VTS_01_10), its BUP.
    auto key = [](const DiscFile& f) {
        const std::string& n = f.name;
        const bool vts = n.rfind("VTS_", 0) == 0 && n.size() > 8;
        const int set = vts ? std::atoi(n.c_str() + 4) : 0;
        const int number = vts ? std::atoi(n.c_str() + 7) : 0;
        const std::string ext = n.size() >= 3 ? n.substr(n.size() - 3) : n;
        const int rank = ext == "IFO" ? 0 : ext == "VOB" ? 1 : 2;
        return std::tuple(!vts && n.rfind("VIDEO_TS", 0) != 0, set, rank, number, n);
    };
    std::sort(files.begin(), files.end(), [&](const DiscFile& a, const DiscFile& b) { return key(a) < key(b); });
    return files;
}

namespace {

// Where everything lies: ISO 9660's path tables and folders after the anchor, then UDF's
// partition with its file set and its end, the root, AUDIO_TS and VIDEO_TS with their
// entries, one entry for each file, then the files.
struct Layout {
    static constexpr std::uint32_t pathL = kAnchor + 1, pathM = kAnchor + 2, isoRoot = kAnchor + 3, isoAudio = isoRoot + 1,
                                   isoVideo = isoAudio + 1;
    static constexpr std::uint32_t rootEntry = 2, audioEntry = 4, videoEntry = 6, videoData = 7;  // in the partition
    std::uint32_t isoVideoSectors = 0, partition = 0, firstFileEntry = 0, partitionLength = 0;
    std::vector<IsoEntry> isoFiles;
    std::vector<UdfChild> udfFiles;  // by name
    std::size_t videoLength = 0;     // VIDEO_TS's entries
    std::vector<std::uint32_t> dataBlock;
};

Layout LayOut(DiscImagePlan& plan)
{
    Layout l;
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        l.isoFiles.push_back({plan.files[i].name, 0, static_cast<std::uint32_t>(plan.files[i].size), false});
        l.udfFiles.push_back({plan.files[i].name, 0, static_cast<std::uint32_t>(16 + 3 + i), false});
    }
    l.isoVideoSectors = IsoFolderSectors(l.isoFiles);
    l.partition = Layout::isoVideo + l.isoVideoSectors;
    l.videoLength = FolderDataLength(l.udfFiles);
    l.firstFileEntry = Layout::videoData + SectorsFor(static_cast<std::int64_t>(l.videoLength));
    std::uint32_t next = l.firstFileEntry + static_cast<std::uint32_t>(plan.files.size());
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        l.dataBlock.push_back(next);
        plan.fileSector.push_back(l.partition + next);
        l.isoFiles[i].sector = l.partition + next;
        l.udfFiles[i].entryBlock = l.firstFileEntry + static_cast<std::uint32_t>(i);
        next += SectorsFor(plan.files[i].size);
    }
    std::sort(l.udfFiles.begin(), l.udfFiles.end(), [](const UdfChild& a, const UdfChild& b) { return a.name < b.name; });
    l.partitionLength = next;
    plan.sectors = l.partition + l.partitionLength + 1;
    return l;
}

// ISO 9660: the primary descriptor, the end of the set, the path tables and the folders.
void IsoVolume(TSectors& s, const std::string& name, const Layout& l, const DiscImagePlan& plan, const DiscTime& t)
{
    const std::string isoName = IsoVolumeName(name);
    std::size_t at = 16 * kSector;
    s.U8(at, 1), s.Text(at + 1, "CD001"), s.U8(at + 6, 1);
    s.Padded(at + 8, "", 32), s.Padded(at + 40, isoName, 32);
    s.Both32(at + 80, plan.sectors);
    s.Both16(at + 120, 1), s.Both16(at + 124, 1), s.Both16(at + 128, static_cast<unsigned>(kSector));
    s.Both32(at + 132, 10 + 2 * 16);  // the path tables: the root, AUDIO_TS and VIDEO_TS
    s.Le32(at + 140, Layout::pathL), s.Be32(at + 148, Layout::pathM);
    IsoRecord(s, at + 156, std::string(1, '\0'), Layout::isoRoot, static_cast<std::uint32_t>(kSector), true, t);
    s.Padded(at + 190, isoName, 128), s.Padded(at + 318, "", 128), s.Padded(at + 446, "", 128);
    s.Padded(at + 574, "MERVANE", 128), s.Padded(at + 702, "", 37 + 37 + 37);
    const std::string date = IsoDate(t);
    s.Text(at + 813, date), s.Text(at + 830, date), s.Text(at + 847, "0000000000000000"), s.Text(at + 864, "0000000000000000");
    s.U8(at + 881, 1);
    at = 17 * kSector;
    s.U8(at, 255), s.Text(at + 1, "CD001"), s.U8(at + 6, 1);

    const std::pair<std::string_view, std::uint32_t> paths[] = {{"", Layout::isoRoot}, {"AUDIO_TS", Layout::isoAudio}, {"VIDEO_TS", Layout::isoVideo}};
    std::size_t little = Layout::pathL * kSector, big = Layout::pathM * kSector;
    for (const auto& [pathName, sector] : paths) {
        const std::size_t length = std::max<std::size_t>(1, pathName.size());  // the root's name is one 0
        s.U8(little, static_cast<unsigned>(length)), s.U8(big, static_cast<unsigned>(length));
        s.Le32(little + 2, sector), s.Be32(big + 2, sector);
        s.Le16(little + 6, 1), s.Be16(big + 6, 1);
        s.Text(little + 8, pathName), s.Text(big + 8, pathName);
        little += 8 + length + length % 2, big += 8 + length + length % 2;
    }
    const std::uint32_t one = static_cast<std::uint32_t>(kSector);
    IsoFolder(s, Layout::isoRoot, Layout::isoRoot, one,
              {{"AUDIO_TS", Layout::isoAudio, one, true}, {"VIDEO_TS", Layout::isoVideo, l.isoVideoSectors * one, true}}, t);
    IsoFolder(s, Layout::isoAudio, Layout::isoRoot, one, {}, t);
    IsoFolder(s, Layout::isoVideo, Layout::isoRoot, one, l.isoFiles, t);
}

// UDF: its recognition sequence, volume descriptors, integrity and anchors.
void UdfVolume(TSectors& s, TSectors& tail, const std::u16string& name, const Layout& l, const DiscImagePlan& plan,
               const DiscTime& t)
{
    for (std::uint32_t i = 0; i < 3; ++i) {
        s.Text((18 + i) * kSector + 1, i == 0 ? "BEA01" : i == 1 ? "NSR02" : "TEA01");
        s.U8((18 + i) * kSector + 6, 1);
    }
    VolumeSequence(s, kMainSequence, name, l.partition, l.partitionLength, t);
    VolumeSequence(s, kReserveSequence, name, l.partition, l.partitionLength, t);
    const std::size_t at = kIntegrity * kSector;
    s.Timestamp(at + 16, t);
    s.Le32(at + 28, 1);  // closed
    s.Le64(at + 40, 16 + 3 + plan.files.size());
    s.Le32(at + 72, 1), s.Le32(at + 76, 46);
    s.Le32(at + 84, l.partitionLength);
    s.ImplementationId(at + 88);
    s.Le32(at + 120, static_cast<std::uint32_t>(plan.files.size())), s.Le32(at + 124, 2);
    s.Le16(at + 128, 0x0102), s.Le16(at + 130, 0x0102), s.Le16(at + 132, 0x0102);
    s.Tag(at, 9, kIntegrity, 134);
    s.Tag((kIntegrity + 1) * kSector, 8, kIntegrity + 1, 512);
    Anchor(s, kAnchor * kSector, kAnchor);
    Anchor(tail, 0, plan.sectors - 1);
}

// A folder's entries in the partition from `block`: its parent's, then its children's.
void UdfFolderData(TSectors& p, std::uint32_t block, std::uint32_t parentEntry, const std::vector<UdfChild>& children)
{
    std::size_t offset = block * kSector;
    offset += FileIdentifier(p, offset, static_cast<std::uint32_t>(offset / kSector), "", 0x0A, parentEntry, 0);
    for (const UdfChild& c : children)
        offset += FileIdentifier(p, offset, static_cast<std::uint32_t>(offset / kSector), c.name, c.folder ? 0x02 : 0, c.entryBlock, c.uniqueId);
}

// UDF's partition: the file set, the folders, the files' entries.
void UdfFiles(TSectors& p, const std::u16string& name, const Layout& l, const DiscImagePlan& plan, const DiscTime& t)
{
    p.Timestamp(16, t);
    p.Le16(28, 3), p.Le16(30, 3), p.Le32(32, 1), p.Le32(36, 1);
    p.Charspec(48), p.Dstring(112, name, 128), p.Charspec(240), p.Dstring(304, name, 32);
    p.LongAd(400, static_cast<std::uint32_t>(kSector), Layout::rootEntry);
    p.Regid(416, "*OSTA UDF Compliant", true);
    p.Tag(0, 256, 0, 512);
    p.Tag(kSector, 8, 1, 512);

    const std::vector<UdfChild> root = {{"AUDIO_TS", Layout::audioEntry, 17, true}, {"VIDEO_TS", Layout::videoEntry, 18, true}};
    FileEntry(p, Layout::rootEntry * kSector, Layout::rootEntry, true, FolderDataLength(root), Layout::rootEntry + 1, 3, 0, t);
    UdfFolderData(p, Layout::rootEntry + 1, Layout::rootEntry, root);
    FileEntry(p, Layout::audioEntry * kSector, Layout::audioEntry, true, FolderDataLength({}), Layout::audioEntry + 1, 1, 17, t);
    UdfFolderData(p, Layout::audioEntry + 1, Layout::rootEntry, {});
    FileEntry(p, Layout::videoEntry * kSector, Layout::videoEntry, true, l.videoLength, Layout::videoData, 1, 18, t);
    UdfFolderData(p, Layout::videoData, Layout::rootEntry, l.udfFiles);
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        const std::uint32_t block = l.firstFileEntry + static_cast<std::uint32_t>(i);
        FileEntry(p, block * kSector, block, false, static_cast<std::uint64_t>(plan.files[i].size), l.dataBlock[i], 1,
                  static_cast<std::uint32_t>(16 + 3 + i), t);
    }
}

}  // namespace

DiscImagePlan PlanDiscImage(const std::string& name, const std::vector<DiscFile>& videoTs, const DiscTime& t)
{
    DiscImagePlan plan;
    plan.files = DvdOrder(videoTs);
    const Layout layout = LayOut(plan);
    plan.head.assign((layout.partition + layout.firstFileEntry + plan.files.size()) * kSector, 0);
    plan.tail.assign(kSector, 0);
    TSectors sectors(plan.head), tail(plan.tail), partition(plan.head, layout.partition * kSector);
    const std::u16string udfName = Utf16(name);
    IsoVolume(sectors, name, layout, plan, t);
    UdfVolume(sectors, tail, udfName, layout, plan, t);
    UdfFiles(partition, udfName, layout, plan, t);
    return plan;
}

std::int64_t DiscImageOverhead(int files)
{
    // The descriptive sectors (about 270, a folder's entries more for every 40 files) and,
    // for each file, its entry, its identifier and its last sector half filled on average.
    return (300 + files / 40) * kSector + static_cast<std::int64_t>(files) * (kSector + 48 + kSector / 2) + kSector;
}

}  // namespace convert
