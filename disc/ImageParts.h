// What the image's ISO 9660 and UDF writers share: the sectors where each begins, a buffer
// of sectors to write numbers, texts and UDF's tags into, and the layout of the whole image.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "disc/DiscImage.h"

namespace disc::image {

// Where UDF's anchor, its two volume descriptor sequences and its integrity lie.
inline constexpr std::uint32_t kAnchor = 256, kMainSequence = 32, kReserveSequence = 48, kIntegrity = 64;
inline constexpr std::uint32_t kExtentMost = (1u << 30) - static_cast<std::uint32_t>(kSector);  // UDF's longest extent

inline std::uint32_t SectorsFor(std::int64_t bytes)
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
std::u16string Utf16(const std::string& text);

// A folder's entries as ISO 9660 lists them: sorted, none across a sector's end.
struct IsoEntry {
    std::string name;
    std::uint32_t sector, size;
    bool folder;
};
std::uint32_t IsoFolderSectors(const std::vector<IsoEntry>& entries);

// A file or folder as its UDF folder names it.
struct UdfChild {
    std::string name;
    std::uint32_t entryBlock, uniqueId;
    bool folder;
};
std::size_t FolderDataLength(const std::vector<UdfChild>& children);

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

// ISO 9660: the primary descriptor, the end of the set, the path tables and the folders.
void IsoVolume(TSectors& s, const std::string& name, const Layout& l, const DiscImagePlan& plan, const DiscTime& t);
// UDF: its recognition sequence, volume descriptors, integrity and anchors.
void UdfVolume(TSectors& s, TSectors& tail, const std::u16string& name, const Layout& l, const DiscImagePlan& plan,
               const DiscTime& t);
// UDF's partition: the file set, the folders, the files' entries.
void UdfFiles(TSectors& p, const std::u16string& name, const Layout& l, const DiscImagePlan& plan, const DiscTime& t);

}  // namespace disc::image
