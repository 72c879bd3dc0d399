// The image's ISO 9660 side: its primary descriptor, path tables and folders, each record
// with its ";1".
#include "disc/ImageParts.h"

#include <algorithm>
#include <cstdio>

namespace disc::image {

namespace {

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

// Its name as its record holds it: a file's with its version, ";1".
std::string IsoRecordName(const IsoEntry& e) { return e.folder ? e.name : e.name + ";1"; }

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

}  // namespace

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

}  // namespace disc::image
