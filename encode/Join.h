// A batch's files joined into one, in the queue's order, without encoding them again: the
// encoder reads them as one stream through a list and writes them out in the target's own
// container. Each part is placed where the picture of the one before it ends, so that its
// sound stays with its picture however many parts come before it.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encode/EncoderArgs.h"
#include "encode/TargetLogic.h"

namespace encode {

// One converted file of the join: its path and its picture's length in seconds.
struct JoinPart {
    std::string path;
    double seconds = 0;
};

// Joining counts in a batch's progress as this share of its files' media seconds: the
// encoder reads and writes the parts once, at the disk's pace.
inline constexpr double kJoinShare = 0.01;

// A target's pictures a second: 25, or NTSC's 30000/1001.
double FrameRate(Target target);
// The length of a picture of `frames` frames at the target's rate.
double PictureSeconds(Target target, long frames);
// The encoder's list of the parts: each file with its picture's length, which places the next.
std::string JoinList(const std::vector<JoinPart>& parts);
// The run that reads the list and writes the joined file, every stream copied as it is.
TArguments JoinArguments(Target target, std::string_view list, std::string_view written);

// A joined disc's clips described before the first is converted, all in one run of the
// encoder: each input's facts, by its place (none where it could not be read).
TArguments DescribeAllArguments(const std::vector<std::string>& inputs);
std::vector<std::optional<InputFacts>> EachInputFacts(const std::vector<std::string>& logLines, std::size_t inputs);
// The title they make: the picture's shape that most of their running time has, and the first
// clip's tracks (described or not, a clip has at least one).
TitleShape TitleShapeOf(const std::vector<std::optional<InputFacts>>& facts, const std::vector<double>& seconds);

// A joined file's name when the user has chosen none: "Joined 2026-12-09".
std::string DefaultJoinedName(std::string_view today);
// What a row of a joined batch says: "Part 3 of 12 of "Holiday.mpg"."
std::string PartNote(int part, int parts, const std::string& joined);
// What the batch's end says of the join: "The files were joined into "Holiday.mpg"; not in
// it: a.mp4 and b.mp4, which failed, were skipped or have no picture.", or why they were not.
std::string JoinedText(const std::string& joined, const std::vector<std::string>& leftOut);
std::string NotJoinedText(const std::string& why);

}  // namespace encode
