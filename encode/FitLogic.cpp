// Fitting a batch to a disc.
#include "encode/FitLogic.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

#include "encode/Rates.h"

namespace encode {

namespace {

constexpr std::int64_t kMegabyte = 1024 * 1024;  // as Windows counts a file's size
// What the program stream leaves for the pictures and the sound: a DVD's packs are padded to
// 2048 bytes (2.7 % measured), an MPEG file's are not (0.9 %).
double StreamShare(Target target)
{
    return target == Target::Mpeg ? 0.985 : kDvdStreamShare;
}
constexpr std::int64_t kFileOverhead = 16 * 1024;  // the stream's start, the sound's first frames
constexpr std::int64_t kVideoCdSeconds = 74 * 60;

struct Disc {
    FitSize size;
    const char* setting;
    std::int64_t bytes;
    const char* label;
    const char* name;
};
constexpr Disc kDiscs[] = {
    {FitSize::Cd, "cd", 700 * kMegabyte, "700 MB", "a CD"},
    {FitSize::Dvd, "dvd", 4'700'000'000, "4.7 GB", "a DVD"},
    {FitSize::DvdDual, "dvd-dl", 8'500'000'000, "8.5 GB", "a dual-layer DVD"},
};

const Disc* DiscOf(FitSize size)
{
    for (const Disc& disc : kDiscs)
        if (size == disc.size) return &disc;
    return nullptr;
}

}  // namespace

FitTo DiscFit(FitSize size)
{
    const Disc* disc = DiscOf(size);
    return disc ? FitTo{size, disc->bytes} : FitTo{};
}

FitTo FitToFromSetting(std::string_view setting)
{
    for (const Disc& disc : kDiscs)
        if (setting == disc.setting) return {disc.size, disc.bytes};
    const bool number = !setting.empty() && setting.size() <= 7 &&
                        std::all_of(setting.begin(), setting.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    const std::int64_t megabytes = number ? std::stoll(std::string(setting)) : 0;
    if (megabytes <= 0) return {};
    return {FitSize::Megabytes, megabytes * kMegabyte};
}

std::string FitSetting(const FitTo& fit)
{
    if (const Disc* disc = DiscOf(fit.size)) return disc->setting;
    return fit.size == FitSize::Megabytes ? std::to_string(fit.bytes / kMegabyte) : "none";
}

std::string FitLabel(const FitTo& fit)
{
    if (const Disc* disc = DiscOf(fit.size)) return disc->label;
    return fit.bytes ? std::to_string(fit.bytes / kMegabyte) + " MB" : "No limit";
}

std::string FitName(const FitTo& fit)
{
    if (const Disc* disc = DiscOf(fit.size)) return disc->name;
    return FitLabel(fit);
}

bool FitApplies(const FitTo& fit, Target target)
{
    return fit.bytes > 0 && (target == Target::Mpeg || StandardOf(target).dvd);
}

FittedRate FitRate(std::int64_t bytes, std::int64_t mediaSeconds, int files, Target target, Quality quality)
{
    const bool dvd = target != Target::Mpeg;
    const double audio = AudioRateFor(target, quality);
    const double bits = (static_cast<double>(bytes) * StreamShare(target) - static_cast<double>(files) * kFileOverhead) * 8;
    const double seconds = static_cast<double>(std::max<std::int64_t>(mediaSeconds, 1));
    const int most = dvd ? kDvdPeakVideoRate : kHighRateMost, floor = dvd ? kDvdFloorRate : kMpegFloorRate;
    FittedRate rate;
    rate.video = static_cast<int>(std::clamp(bits / seconds - audio, 0.0, double(most)));
    rate.belowFloor = rate.video < floor;
    rate.floorSeconds = static_cast<std::int64_t>(std::max(0.0, bits / (floor + audio)));
    return rate;
}

std::int64_t FittedBytes(int video, double mediaSeconds, Target target, Quality quality)
{
    const double stream = (static_cast<double>(video) + AudioRateFor(target, quality)) * mediaSeconds / 8;
    return static_cast<std::int64_t>((stream + static_cast<double>(kFileOverhead)) / StreamShare(target));
}

std::string SizeText(std::int64_t bytes)
{
    const double gb = static_cast<double>(bytes) / (1024.0 * kMegabyte), mb = static_cast<double>(bytes) / kMegabyte;
    char text[32];
    if (gb >= 1) std::snprintf(text, sizeof text, "%.1f GB", gb);
    else if (mb >= 1) std::snprintf(text, sizeof text, "%.0f MB", mb);
    else std::snprintf(text, sizeof text, "%lld KB", static_cast<long long>((bytes + 1023) / 1024));
    return text;
}

std::string NoRoomQuestion(std::int64_t needed, std::int64_t free, const std::string& volume)
{
    return "The converted files need about " + SizeText(needed) + ", and " + volume + " has " + SizeText(free) +
           " free. Convert anyway?";
}

std::vector<std::string> VolumeQuestions(const std::vector<VolumeNeed>& needs)
{
    std::vector<std::string> questions;
    for (const VolumeNeed& need : needs) {
        if (need.free && need.bytes > *need.free) questions.push_back(NoRoomQuestion(need.bytes, *need.free, need.name));
        if (need.fat && need.largest > kFatMostFile)
            questions.push_back("The file converted from " + need.largestInput + " needs about " + SizeText(need.largest) + ", and " +
                                need.name + " is FAT32, which holds no file of 4 GB or more. Convert anyway?");
        if (need.fat && need.image > kFatMostFile)
            questions.push_back("The disc's image needs about " + SizeText(need.image) + ", and " + need.name +
                                " is FAT32, which holds no file of 4 GB or more: the disc's folder will be made, but not its image. "
                                "Convert anyway?");
        if (need.fat && need.joined > kFatMostFile)
            questions.push_back("The joined file needs about " + SizeText(need.joined) + ", and " + need.name +
                                " is FAT32, which holds no file of 4 GB or more: the files will be converted, but not joined. "
                                "Convert anyway?");
    }
    return questions;
}

std::string LargeDiscQuestion(std::int64_t discBytes, const FitTo& medium)
{
    return "The disc would take about " + SizeText(discBytes) + ", more than " + FitName(medium) + " holds (" + FitLabel(medium) +
           "). Fit it to " + FitName(medium) + "?";
}

std::string Duration(std::int64_t seconds)
{
    if (seconds < 60) return std::to_string(seconds) + " s";
    // Under an hour to the second: a batch's length and what fits are often minutes apart.
    if (seconds < 3600) return std::to_string(seconds / 60) + " min" + (seconds % 60 ? " " + std::to_string(seconds % 60) + " s" : "");
    const std::int64_t minutes = (seconds + 30) / 60;
    return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

std::string BelowFloorQuestion(int files, std::int64_t mediaSeconds, const FitTo& fit, const FittedRate& rate)
{
    const std::string what = files == 1 ? "This file (" + Duration(mediaSeconds) + ") needs"
                                        : "These " + std::to_string(files) + " files (" + Duration(mediaSeconds) + ") need";
    return what + " a lower quality than " + FitName(fit) + " should have: about " + Duration(rate.floorSeconds) +
           " fit on " + FitName(fit) + " at its usual quality.";
}

int VideoCdsFor(std::int64_t mediaSeconds)
{
    return static_cast<int>(std::max<std::int64_t>(1, (mediaSeconds + kVideoCdSeconds - 1) / kVideoCdSeconds));
}

std::string VideoCdsMessage(int files, std::int64_t mediaSeconds)
{
    const int discs = VideoCdsFor(mediaSeconds);
    return (files == 1 ? "This file (" : "These " + std::to_string(files) + " files (") + Duration(mediaSeconds) + ") need" +
           (files == 1 ? "s " : " ") + std::to_string(discs) + (discs == 1 ? " Video CD" : " Video CDs") + " (74 minutes each).";
}

}  // namespace encode
