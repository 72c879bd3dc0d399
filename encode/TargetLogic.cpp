// Rules of what a conversion makes.
#include "encode/TargetLogic.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>


namespace encode {

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
constexpr const char* kQualities[] = {"standard", "high"};

// The parts of a text separated by ", " outside parentheses.
std::vector<std::string_view> TopLevelParts(std::string_view text)
{
    std::vector<std::string_view> parts;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') ++depth;
        if (text[i] == ')') --depth;
        if (depth == 0 && text.compare(i, 2, ", ") == 0) {
            parts.push_back(text.substr(start, i - start));
            start = i + 2;
        }
    }
    parts.push_back(text.substr(start));
    return parts;
}

// The pixel format's remarks, "yuv420p10le(tv, bt2020nc/bt2020/arib-std-b67, progressive)":
// the matrix and the transfer. The colours are "matrix/primaries/transfer", or one name
// where all three are the same.
void ReadColours(std::string_view video, InputFacts& facts)
{
    const std::vector<std::string_view> parts = TopLevelParts(video);
    if (parts.size() < 2) return;
    const std::string_view format = parts[1];
    const std::size_t open = format.find('('), close = format.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return;
    for (std::string_view remark : TopLevelParts(format.substr(open + 1, close - open - 1))) {
        const std::size_t first = remark.find('/'), last = remark.rfind('/');
        if (first != std::string_view::npos && first != last) {
            facts.matrix = remark.substr(0, first);
            facts.transfer = remark.substr(last + 1);
        } else if (remark.rfind("bt", 0) == 0 || remark.rfind("smpte", 0) == 0) {
            facts.matrix = facts.transfer = remark;
        }
    }
}

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

// The language a stream's line names: "Stream #0:1[0x2](eng): Audio: …" says "eng".
std::string StreamLanguage(std::string_view line)
{
    const std::size_t close = line.find("): ");
    const std::size_t open = close == std::string_view::npos ? close : line.rfind('(', close);
    if (open == std::string_view::npos || open < line.find("Stream #")) return {};
    const std::string_view language = line.substr(open + 1, close - open - 1);
    return language == "und" ? std::string() : std::string(language);
}

// An audio stream's line: its channels (stereo unless it says otherwise), whether the file
// marks it as its default, and its language.
AudioTrack AudioTrackOf(std::string_view line)
{
    const std::string_view text = line.substr(line.find("Audio:"));
    const int channels = text.find("5.1") != std::string_view::npos    ? 6
                         : text.find("7.1") != std::string_view::npos  ? 8
                         : text.find("mono") != std::string_view::npos ? 1
                                                                        : 2;
    return {channels, text.find("(default)") != std::string_view::npos, StreamLanguage(line)};
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

Quality QualityFromSetting(std::string_view setting)
{
    return setting == kQualities[1] ? Quality::High : Quality::Standard;
}

const char* QualitySetting(Quality quality) { return kQualities[static_cast<int>(quality)]; }

std::vector<int> AudioTracksFor(const InputFacts& facts, bool everyTrack)
{
    std::vector<int> tracks;
    const auto& audio = facts.audio;
    const auto marked = std::find_if(audio.begin(), audio.end(), [](const AudioTrack& t) { return t.isDefault; });
    const int first = marked == audio.end() ? 0 : static_cast<int>(marked - audio.begin());
    if (audio.size() < 2) return tracks;  // the encoder's own choice is the only one
    tracks.push_back(first);
    for (int i = 0; everyTrack && i < static_cast<int>(audio.size()) && tracks.size() < kDvdMostAudioTracks; ++i)
        if (i != first) tracks.push_back(i);
    return tracks;
}

bool IsHdr(const InputFacts& facts)
{
    return facts.transfer == "smpte2084" || facts.transfer == "arib-std-b67";
}

bool HdMatrix(const InputFacts& facts)
{
    if (IsHdr(facts) || facts.matrix == "bt709") return true;
    if (facts.matrix == "bt470bg" || facts.matrix == "smpte170m") return false;
    // Not said (or a matrix of another kind): HD sizes are coded in BT.709, SD sizes in BT.601.
    return static_cast<long>(facts.picture.width) * facts.picture.height > 720L * 576;
}

std::optional<InputFacts> ReadInputFacts(const std::vector<std::string>& lines)
{
    std::optional<InputFacts> facts;
    std::vector<AudioTrack> audio;
    std::vector<TextTrack> text;
    int videoTracks = 0;
    bool quarterTurn = false;
    for (const std::string& line : lines) {
        // The input's streams come first; a run's output streams follow.
        if (line.find("Output #0") != std::string::npos || line.find("Stream mapping:") != std::string::npos) break;
        const bool stream = line.find("Stream #") != std::string::npos;
        if (stream && line.find("Audio:") != std::string::npos) audio.push_back(AudioTrackOf(line));
        if (stream && line.find("Subtitle:") != std::string::npos)
            text.push_back({line.find("(default)") != std::string::npos, line.find("(forced)") != std::string::npos});
        const bool picture = stream && line.find("Video:") != std::string::npos && line.find("(attached pic)") == std::string::npos;
        if (picture) ++videoTracks;
        if (picture && !facts) {
            const std::string_view video = std::string_view(line).substr(line.find("Video:"));
            if (const std::optional<PictureSize> size = FirstSize(video)) {
                facts = InputFacts{*size, RatioAfter(video, "DAR ").value_or(double(size->width) / size->height), false};
                ReadColours(video, *facts);
            }
        }
        // "rotate : 90" among the stream's facts, or "rotation of -90.00 degrees".
        const bool rotation = line.find("rotate") != std::string::npos || line.find("rotation of") != std::string::npos;
        if (rotation && (line.find("90") != std::string::npos || line.find("270") != std::string::npos)) quarterTurn = true;
    }
    if (!facts) return facts;
    facts->hasAudio = !audio.empty();
    facts->audio = std::move(audio);
    facts->videoTracks = videoTracks;
    facts->text = std::move(text);
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

bool WidePicture(Target target, const std::optional<InputFacts>& facts)
{
    return StandardOf(target).dvd && facts && facts->displayAspect >= 1.5;
}

std::vector<std::string> CarriedLanguages(const std::optional<InputFacts>& facts)
{
    if (!facts || facts->audio.empty()) return {""};
    std::vector<int> tracks = AudioTracksFor(*facts, true);
    if (tracks.empty()) tracks.push_back(0);
    std::vector<std::string> languages;
    for (int track : tracks) languages.push_back(facts->audio[static_cast<std::size_t>(track)].language);
    return languages;
}

}  // namespace encode
