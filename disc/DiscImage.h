// A DVD-Video disc image: ISO 9660 with a UDF 1.02 bridge, as DVD players read it. Both file
// systems describe the same files, which lie in the order a player expects them (VIDEO_TS
// first, each title set's information, menu, titles and backup in turn) and each in one piece,
// since the information files point into the video files by their sectors. Pure: the layout
// and the sectors that describe it are worked out here; a writer copies the files in between.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace disc {

inline constexpr std::int64_t kSector = 2048;

// A file of the disc's VIDEO_TS folder: its name ("VTS_01_1.VOB") and size.
struct DiscFile {
    std::string name;
    std::int64_t size = 0;
};

// When the image is made, in UTC.
struct DiscTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// The image: its descriptive sectors up to the first file, then each file at its sector, then
// one closing sector.
struct DiscImagePlan {
    std::vector<std::uint8_t> head;         // sectors 0 to the first file's
    std::vector<DiscFile> files;            // in the order they lie
    std::vector<std::uint32_t> fileSector;  // where each begins
    std::vector<std::uint8_t> tail;         // the last sector: UDF's second anchor
    std::uint32_t sectors = 0;              // in all
    std::int64_t Bytes() const { return static_cast<std::int64_t>(sectors) * kSector; }
};

// The VIDEO_TS files in the order a player reads them: VIDEO_TS.IFO, .VOB, .BUP, then each
// title set's VTS_nn_0.IFO, its menu VTS_nn_0.VOB, its titles VTS_nn_1.VOB… and VTS_nn_0.BUP.
std::vector<DiscFile> DvdOrder(std::vector<DiscFile> files);
// The image of a disc named `name` (the UDF volume name as given, the ISO one in capitals and
// digits) with an empty AUDIO_TS and these VIDEO_TS files.
DiscImagePlan PlanDiscImage(const std::string& name, const std::vector<DiscFile>& videoTs, const DiscTime& time);
// What an image of files this large takes beyond them: its descriptive sectors and each
// file's last sector filled up.
std::int64_t DiscImageOverhead(int files);

// UDF's CRC of a descriptor's body (CRC-CCITT, initial value 0).
std::uint16_t UdfCrc(const std::uint8_t* data, std::size_t size);

}  // namespace disc
