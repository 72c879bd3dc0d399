// Two choices of what a disc or a playlist of clips looks and sounds like together: the sound
// of each file evened out to one loudness, and the bars around a picture that does not fill
// the frame filled with the picture itself, blurred.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace encode {

// Loudness: "off" (the default: the sound as it is) or "even": each file's sound given one
// gain toward EBU R128's -23 LUFS, never so much that its true peak passes -1 dBTP.
enum class Loudness { Off, Even };
Loudness LoudnessFromSetting(std::string_view setting);
const char* LoudnessSetting(Loudness loudness);
// Fill: "black" (the default: black bars) or "blur": the bars filled with the same moving
// picture scaled to cover the frame, blurred and darkened.
enum class Fill { Black, Blur };
Fill FillFromSetting(std::string_view setting);
const char* FillSetting(Fill fill);

inline constexpr double kTargetLufs = -23, kMostTruePeak = -1;
// The encoder's loudness meter, on the stereo that every conversion makes of the sound.
inline constexpr std::string_view kSoundMeter = "aformat=channel_layouts=stereo,ebur128=peak=true";

// What the encoder's loudness meter said at the end of a run: the integrated loudness (LUFS)
// and the true peak (dBTP); none where the log holds no summary.
struct LoudnessMeasure {
    double integrated = 0, truePeak = 0;
};
std::optional<LoudnessMeasure> ReadLoudness(const std::vector<std::string>& logLines);
// Whether a run found no sound to measure.
bool NoSoundMeasured(const std::vector<std::string>& logLines);

// The gain a file's sound is given, and what its row says of it.
struct EvenedSound {
    std::optional<double> gainDb{};  // none: left as it is
    std::string note{};              // "Sound raised by 6.5 dB to −23 LUFS."; empty within 0.5 dB
};
// Silence (below -70 LUFS, the meter's floor) is left as it is.
EvenedSound EvenSound(const LoudnessMeasure& measured);
// What a run that measured the sound found: its gain and note; kNotMeasured where it gave no
// summary, nothing where the file has no sound.
EvenedSound MeasuredSound(const std::vector<std::string>& logLines);
// A file whose measure failed converts without the gain, and says why.
inline constexpr const char* kNotMeasured = "The sound was left as it is: its loudness could not be measured.";

}  // namespace encode
