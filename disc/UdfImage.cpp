// The image's UDF 1.02 side: the recognition sequence, the volume descriptors, the anchors,
// and the partition's file set, folders and file entries.
#include "disc/ImageParts.h"

#include <algorithm>

namespace disc::image {

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

namespace {

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

// A folder's entries in the partition from `block`: its parent's, then its children's.
void UdfFolderData(TSectors& p, std::uint32_t block, std::uint32_t parentEntry, const std::vector<UdfChild>& children)
{
    std::size_t offset = block * kSector;
    offset += FileIdentifier(p, offset, static_cast<std::uint32_t>(offset / kSector), "", 0x0A, parentEntry, 0);
    for (const UdfChild& c : children)
        offset += FileIdentifier(p, offset, static_cast<std::uint32_t>(offset / kSector), c.name, c.folder ? 0x02 : 0, c.entryBlock, c.uniqueId);
}

}  // namespace

std::size_t FolderDataLength(const std::vector<UdfChild>& children)
{
    std::size_t length = 40;  // the parent's
    for (const UdfChild& c : children) length += (38 + 1 + c.name.size() + 3) / 4 * 4;
    return length;
}

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

}  // namespace disc::image

namespace disc {

std::uint16_t UdfCrc(const std::uint8_t* data, std::size_t size)
{
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint16_t>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit) crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

}  // namespace disc
