// The sound evened out, and the bars filled.
#include "encode/Sound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace encode {

namespace {

constexpr const char* kLoudnesses[] = {"off", "even"};
constexpr const char* kFills[] = {"black", "blur"};

// The number after `label` on the first line that holds it from `from` on.
std::optional<double> NumberAfter(const std::vector<std::string>& lines, std::size_t from, std::string_view label)
{
    for (std::size_t i = from; i < lines.size(); ++i)
        if (const std::size_t at = lines[i].find(label); at != std::string::npos) {
            const char* start = lines[i].c_str() + at + label.size();
            char* end = nullptr;
            const double value = std::strtod(start, &end);
            if (end != start) return value;
        }
    return std::nullopt;
}

// "−23", "−25.5": one decimal where there is one, and the minus sign of print.
std::string Level(double lufs)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::fabs(lufs));
    std::string level = text;
    if (level.size() > 2 && level.substr(level.size() - 2) == ".0") level.resize(level.size() - 2);
    return (lufs < 0 ? "\u2212" : "") + level;
}

}  // namespace

Loudness LoudnessFromSetting(std::string_view setting) { return setting == kLoudnesses[1] ? Loudness::Even : Loudness::Off; }
const char* LoudnessSetting(Loudness loudness) { return kLoudnesses[static_cast<int>(loudness)]; }
Fill FillFromSetting(std::string_view setting) { return setting == kFills[1] ? Fill::Blur : Fill::Black; }
const char* FillSetting(Fill fill) { return kFills[static_cast<int>(fill)]; }

std::optional<LoudnessMeasure> ReadLoudness(const std::vector<std::string>& logLines)
{
    // The meter's summary at the end: "Integrated loudness:" then "I: -23.0 LUFS", and
    // "True peak:" then "Peak: -1.2 dBFS".
    const auto summary = std::find_if(logLines.rbegin(), logLines.rend(), [](const std::string& l) { return l.find("Summary:") != std::string::npos; });
    if (summary == logLines.rend()) return std::nullopt;
    const std::size_t from = static_cast<std::size_t>(logLines.rend() - summary);
    const std::optional<double> integrated = NumberAfter(logLines, from, "I:"), peak = NumberAfter(logLines, from, "Peak:");
    if (!integrated || !peak) return std::nullopt;
    return LoudnessMeasure{*integrated, *peak};
}

bool NoSoundMeasured(const std::vector<std::string>& logLines)
{
    return std::any_of(logLines.begin(), logLines.end(), [](const std::string& l) {
        return l.find("does not contain any stream") != std::string::npos || l.find("matches no streams") != std::string::npos;
    });
}

EvenedSound EvenSound(const LoudnessMeasure& measured)
{
    if (measured.integrated <= -70) return {};  // silence
    const double gain = std::min(kTargetLufs - measured.integrated, kMostTruePeak - measured.truePeak);
    const double rounded = std::round(gain * 10) / 10;
    if (std::fabs(rounded) < 0.5) return {};
    char by[32];
    std::snprintf(by, sizeof by, "%.1f", std::fabs(rounded));
    return {rounded, std::string("Sound ") + (rounded > 0 ? "raised" : "lowered") + " by " + by + " dB to " +
                         Level(measured.integrated + rounded) + " LUFS."};
}

EvenedSound MeasuredSound(const std::vector<std::string>& logLines)
{
    if (const std::optional<LoudnessMeasure> measured = ReadLoudness(logLines)) return EvenSound(*measured);
    return {std::nullopt, NoSoundMeasured(logLines) ? std::string() : std::string(kNotMeasured)};
}

}  // namespace encode
