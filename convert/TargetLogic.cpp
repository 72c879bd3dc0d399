// Rules of what a conversion makes.
#include "convert/TargetLogic.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>


namespace convert {

namespace {

struct TargetRow {
    Target target;
    const char* setting;
    const char* label;
    const char* menu;
    const char* encoderTarget;  // the encoder's own name for the standard
    int width, height;
    int audioRate;
};

constexpr TargetRow kRows[] = {
    {Target::Mpeg, "mpeg", "MPEG", "&MPEG", "", 0, 0, 0},
    {Target::VcdPal, "vcd-pal", "Video CD", "&Video CD (PAL)", "pal-vcd", 352, 288, 44100},
    {Target::VcdNtsc, "vcd-ntsc", "Video CD", "Video &CD (NTSC)", "ntsc-vcd", 352, 240, 44100},
    {Target::DvdPal, "dvd-pal", "DVD", "&DVD (PAL)", "pal-dvd", 720, 576, 48000},
    {Target::DvdNtsc, "dvd-ntsc", "DVD", "DVD (&NTSC)", "ntsc-dvd", 720, 480, 48000},
};

const TargetRow& RowOf(Target target)
{
    return *std::find_if(std::begin(kRows), std::end(kRows), [&](const TargetRow& r) { return r.target == target; });
}

constexpr const char* kIfExists[] = {"replace", "keep", "skip"};

// The first "WxH" in a text whose sides are both numbers of one to five digits.
std::optional<PictureSize> FirstSize(std::string_view text)
{
    for (std::size_t x = text.find('x'); x != std::string_view::npos; x = text.find('x', x + 1)) {
        std::size_t left = x, right = x + 1;
        while (left > 0 && std::isdigit(static_cast<unsigned char>(text[left - 1]))) --left;
        while (right < text.size() && std::isdigit(static_cast<unsigned char>(text[right]))) ++right;
        const std::size_t w = x - left, h = right - x - 1;
        if (w < 1 || w > 5 || h < 1 || h > 5) continue;
        const PictureSize size{std::atoi(std::string(text.substr(left, w)).c_str()),
                               std::atoi(std::string(text.substr(x + 1, h)).c_str())};
        if (size.width > 0 && size.height > 0) return size;
    }
    return std::nullopt;
}

// "a:b" after `key` in a text, as a ratio; none when absent.
std::optional<double> RatioAfter(std::string_view text, std::string_view key)
{
    const std::size_t at = text.find(key);
    if (at == std::string_view::npos) return std::nullopt;
    const std::string rest(text.substr(at + key.size()));
    char* colon = nullptr;
    const double a = std::strtod(rest.c_str(), &colon);
    if (*colon != ':') return std::nullopt;
    const double b = std::strtod(colon + 1, nullptr);
    return a > 0 && b > 0 ? std::optional<double>(a / b) : std::nullopt;
}

}  // namespace

Target TargetFromSetting(std::string_view setting)
{
    for (const TargetRow& row : kRows)
        if (setting == row.setting) return row.target;
    return Target::Mpeg;
}

const char* TargetSetting(Target target) { return RowOf(target).setting; }
const char* TargetLabel(Target target) { return RowOf(target).label; }
const char* TargetMenuText(Target target) { return RowOf(target).menu; }

IfExists IfExistsFromSetting(std::string_view setting)
{
    for (int i = 0; i < 3; ++i)
        if (setting == kIfExists[i]) return static_cast<IfExists>(i);
    return IfExists::Replace;
}

const char* IfExistsSetting(IfExists choice) { return kIfExists[static_cast<int>(choice)]; }

std::optional<InputFacts> ReadInputFacts(const std::vector<std::string>& lines)
{
    std::optional<InputFacts> facts;
    bool hasAudio = false, quarterTurn = false;
    for (const std::string& line : lines) {
        const bool stream = line.find("Stream #") != std::string::npos;
        if (stream && line.find("Audio:") != std::string::npos) hasAudio = true;
        if (stream && !facts && line.find("Video:") != std::string::npos) {
            const std::string_view video = std::string_view(line).substr(line.find("Video:"));
            if (const std::optional<PictureSize> size = FirstSize(video))
                facts = InputFacts{*size, RatioAfter(video, "DAR ").value_or(double(size->width) / size->height), false};
        }
        // "rotate : 90" among the stream's facts, or "rotation of -90.00 degrees".
        const bool rotation = line.find("rotate") != std::string::npos || line.find("rotation of") != std::string::npos;
        if (rotation && (line.find("90") != std::string::npos || line.find("270") != std::string::npos)) quarterTurn = true;
    }
    if (!facts) return facts;
    facts->hasAudio = hasAudio;
    if (quarterTurn) {
        std::swap(facts->picture.width, facts->picture.height);
        facts->displayAspect = 1 / facts->displayAspect;
    }
    return facts;
}

bool RefusedAsTooLarge(const std::vector<std::string>& lines)
{
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("does not support resolutions above") != std::string::npos;
    });
}

PictureSize FitMpeg1(PictureSize picture)
{
    const int longest = std::max(picture.width, picture.height);
    if (longest <= kMpeg1MostPixels || picture.width <= 0 || picture.height <= 0) return picture;
    const double scale = static_cast<double>(kMpeg1MostPixels) / longest;
    auto even = [](double length) { return std::max(2, 2 * static_cast<int>(length / 2)); };
    return {even(picture.width * scale), even(picture.height * scale)};
}

std::string ScaledNote(PictureSize from, PictureSize to, const fw::TextMarks& marks)
{
    auto size = [&](PictureSize p) { return std::to_string(p.width) + marks.times + std::to_string(p.height); };
    return "The picture was scaled from " + size(from) + " to " + size(to) + ", the largest that MPEG-1 holds.";
}

DiscStandard StandardOf(Target target)
{
    const TargetRow& row = RowOf(target);
    return {row.encoderTarget, row.width, row.height, row.audioRate, target == Target::DvdPal || target == Target::DvdNtsc};
}

}  // namespace convert
