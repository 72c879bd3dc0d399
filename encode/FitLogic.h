// Fitting a batch to a disc: the size it must fit, one video rate for every file of the
// batch, and what is said before the start when that rate is too low or a Video CD batch
// takes several discs.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encode/TargetLogic.h"

namespace encode {

// The size a batch is fitted to: none, a disc, or a number of megabytes.
enum class FitSize { None, Cd, Dvd, DvdDual, Megabytes };
struct FitTo {
    FitSize size = FitSize::None;
    std::int64_t bytes = 0;  // 0: no limit
    bool operator==(const FitTo&) const = default;
};
// The discs' sizes: 700 MB, 4.7 GB, 8.5 GB.
FitTo DiscFit(FitSize disc);
// The setting FitTo: "none" (the default), "cd", "dvd", "dvd-dl" or a number of megabytes
// ("2000"); anything else is "none".
FitTo FitToFromSetting(std::string_view setting);
std::string FitSetting(const FitTo& fit);
// What the label under the convert button and the menu say of it: "4.7 GB", "2000 MB".
std::string FitLabel(const FitTo& fit);
// A disc's name in what is said before the start: "a DVD", "a CD", "2000 MB".
std::string FitName(const FitTo& fit);
// Whether it applies to a target: MPEG and DVD; a Video CD's rates are fixed.
bool FitApplies(const FitTo& fit, Target target);

struct FittedRate {
    int video = 0;               // bits a second, for every file of the batch
    bool belowFloor = false;     // less than the target should have
    std::int64_t floorSeconds = 0;  // what fits at the lowest rate the target should have
};
// One video rate for the whole batch: the size, less the program stream's overhead (3 % on
// a DVD, 1.5 % else, and 16 KB a file), less the audio, over the media seconds; at most the
// target's peak.
FittedRate FitRate(std::int64_t bytes, std::int64_t mediaSeconds, int files, Target target, Quality quality);
// What one file of a fitted batch takes at that video rate: FitRate the other way round.
std::int64_t FittedBytes(int video, double mediaSeconds, Target target, Quality quality);

// What is said before a fitted batch that needs a lower rate than its target should have:
// "These 14 files (9 h 12 min) need a lower quality than a DVD should have: about 4 h 30 min
// fit on a DVD at its usual quality."
std::string BelowFloorQuestion(int files, std::int64_t mediaSeconds, const FitTo& fit, const FittedRate& rate);
// A Video CD holds 74 minutes: how many a batch needs, and what is said of it.
int VideoCdsFor(std::int64_t mediaSeconds);
std::string VideoCdsMessage(int files, std::int64_t mediaSeconds);
// "3.2 GB", "750 MB", "12 KB", as Windows counts them.
std::string SizeText(std::int64_t bytes);
// What is said before a batch whose outputs need more room than the volume has.
std::string NoRoomQuestion(std::int64_t needed, std::int64_t free, const std::string& volume);
// What the outputs of a batch need of one volume that receives them.
struct VolumeNeed {
    std::string root{};  // "D:\"
    std::string name{};  // as the user knows it, "D:\ (Backup)"
    std::int64_t bytes = 0;
    std::optional<std::int64_t> free{};  // none when the volume cannot be asked
    bool fat = false;                   // FAT32 holds no file of 4 GiB or more
    std::int64_t largest = 0;           // the largest output it receives, and from which input
    std::string largestInput{};
    std::int64_t image = 0;             // the disc's image it receives, if any
    std::int64_t joined = 0;            // the joined file it receives, if any
};
inline constexpr std::int64_t kFatMostFile = 4LL * 1024 * 1024 * 1024 - 1;
// What is asked before the start, each to be agreed to: for each volume with less room than
// its outputs need, and each FAT32 volume that receives a file, a disc's image or a joined file
// too large for it (a disc's folder is made there all the same, without its image; the files
// are converted, but not joined).
std::vector<std::string> VolumeQuestions(const std::vector<VolumeNeed>& needs);
// What is asked before a disc batch that would take more than a DVD and has no size to fit:
// "The disc would take about 6.2 GB, more than a DVD holds (4.7 GB). Fit it to a DVD?"
std::string LargeDiscQuestion(std::int64_t discBytes, const FitTo& medium);
// "9 h 12 min", "11 min 27 s", "45 min", "50 s".
std::string Duration(std::int64_t seconds);

}  // namespace encode
