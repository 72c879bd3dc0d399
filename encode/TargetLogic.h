// Rules of what a conversion makes: the target (MPEG, Video CD or DVD), what is done
// when the converted file exists from an earlier run, an input too large for MPEG-1, and the
// encoder's arguments for each.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/text.h"

namespace encode {

enum class Target { Mpeg, VcdPal, VcdNtsc, DvdPal, DvdNtsc };
inline constexpr Target kTargets[] = {Target::Mpeg, Target::VcdPal, Target::VcdNtsc, Target::DvdPal, Target::DvdNtsc};
// The setting's words ("mpeg", "vcd-pal"...); anything else is the default, MPEG.
Target TargetFromSetting(std::string_view setting);
const char* TargetSetting(Target target);
// What the label under the convert button says: "MPEG", "Video CD" or "DVD".
const char* TargetLabel(Target target);
// What its menu says: "MPEG", "Video CD (PAL)"...
const char* TargetMenuText(Target target);

// When the converted file exists from an earlier run: replaced (the default), kept beside
// ("name (2).mpg"), or the input is skipped.
enum class IfExists { Replace, Keep, Skip };
IfExists IfExistsFromSetting(std::string_view setting);
const char* IfExistsSetting(IfExists choice);

// How the picture is kept: the standard MPEG rates, or a constant quality below a peak.
enum class Quality { Standard, High };
Quality QualityFromSetting(std::string_view setting);  // "standard" (the default) or "high"
const char* QualitySetting(Quality quality);

struct PictureSize {
    int width = 0, height = 0;
    bool operator==(const PictureSize&) const = default;
};

struct AudioTrack {
    int channels = 2;
    bool isDefault = false;  // the file marks it as the one to play
    std::string language{};  // as the file says it ("eng"), if it does
};

// What the encoder says of its input before it starts (its description of the streams).
// A text track of the input, and whether the file marks it as default or forced.
struct TextTrack {
    bool isDefault = false, forced = false;
};

struct InputFacts {
    PictureSize picture{};        // after the rotation the encoder applies
    double displayAspect = 0;   // width to height as shown
    bool hasAudio = false;
    // The colours as the stream states them, in the encoder's words ("bt709", "bt2020nc",
    // "smpte2084", "arib-std-b67"); empty where it states none.
    std::string matrix{}, transfer{};
    std::vector<AudioTrack> audio{};  // in the file's order
    // Its pictures that are not a cover: a phone's motion photo has a track of still shots
    // beside its video.
    int videoTracks = 1;
    std::vector<TextTrack> text{};  // in the file's order
};
// The audio tracks to convert, by their place among the input's audio tracks: the one the
// file marks as default (the first when none is), and with `everyTrack` (a DVD) the others
// after it, at most 8 in all. Empty where the input has fewer than two: the encoder's own
// choice is the right one.
inline constexpr std::size_t kDvdMostAudioTracks = 8;
std::vector<int> AudioTracksFor(const InputFacts& facts, bool everyTrack);
// A DVD's picture is 16:9 for a wide input, else 4:3; a Video CD's is always 4:3.
bool WidePicture(Target target, const std::optional<InputFacts>& facts);
// The languages of a DVD stream's audio tracks in its order ("eng"; empty where the input
// says none, and for the silence given to an input without sound).
std::vector<std::string> CarriedLanguages(const std::optional<InputFacts>& facts);
// A joined disc's one title, whose clips all take its picture's shape and its number of audio
// tracks (silence where a clip has fewer).
struct TitleShape {
    bool wide = false;
    int audioTracks = 1;
};
// A picture in high dynamic range: PQ (HDR10, and Dolby Vision on an HDR10 base) or HLG
// (and Dolby Vision on an HLG base).
bool IsHdr(const InputFacts& facts);
// Whether the picture's colours are coded with the HD matrix (BT.709), as they are once an
// HDR picture is tone-mapped; a stream that does not say is taken by its size.
bool HdMatrix(const InputFacts& facts);
// None when no video stream is described.
std::optional<InputFacts> ReadInputFacts(const std::vector<std::string>& encoderLines);

// MPEG-1 pictures are at most 4095 pixels a side.
inline constexpr int kMpeg1MostPixels = 4095;
// Whether the encoder refused a picture larger than MPEG-1 holds.
bool RefusedAsTooLarge(const std::vector<std::string>& encoderLines);
// A picture scaled down to fit within 4095 x 4095, its aspect kept and its sides even.
PictureSize FitMpeg1(PictureSize picture);
// What a click on "Done" says of a picture so scaled.
std::string ScaledNote(PictureSize from, PictureSize to, const fw::TextMarks& marks);

// What a disc's standard fixes: the encoder's own name for it ("pal-dvd"), the picture's
// size and the audio's sample rate.
struct DiscStandard {
    const char* encoderTarget;
    int width, height;
    int audioRate;
    bool dvd;
};
// For Video CD and DVD targets only.
DiscStandard StandardOf(Target target);

}  // namespace encode
