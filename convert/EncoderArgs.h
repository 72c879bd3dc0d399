// The encoder's arguments for one run, built as a list in one place (input, filters, rates,
// format, output) and quoted once, when the argument string is made.
#pragma once
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/TargetLogic.h"

namespace convert {

// The deinterlacer, first in every filter chain of the encoder: it changes only the frames
// that are marked interlaced, and nearly every MP4 is progressive.
inline constexpr std::string_view kDeinterlace = "yadif=deint=interlaced";

// A list of arguments. Line() is the argument string with a leading blank before each: a
// path always in double quotes, any other argument quoted only where the command line would
// otherwise split it or read it otherwise.
class TArguments {
public:
    TArguments& Add(std::initializer_list<std::string_view> arguments);
    TArguments& AddPath(std::string_view path);
    std::string Line() const;

private:
    struct Argument {
        std::string text;
        bool path = false;
    };
    std::vector<Argument> arguments_;
};

// What one run of the encoder makes of one input.
struct EncodeRequest {
    std::string input;    // as the encoder opens it (the long form past MAX_PATH)
    std::string written;  // the temporary file it writes
    Target target = Target::Mpeg;
    InputFacts facts;     // a disc target's description of the input
    std::optional<PictureSize> scaleTo;  // a picture larger than MPEG-1 holds, scaled to fit
};

// The arguments that convert:
// - MPEG: the program's line of old (the picture deinterlaced where it is interlaced, 900
//   kbit/s, 25 frames, MP2 at 128 kbit/s, 44.1 kHz stereo, an MPEG program stream, the format
//   named since the temporary's extension does not say it); with `scaleTo`, scaled as well;
// - Video CD and DVD: the standard's format, size, rates and program stream, the picture
//   letterboxed or pillarboxed into it, never stretched (a DVD 16:9 for a wide input, else
//   4:3; a Video CD 4:3), and a silent track for an input without audio.
TArguments EncodeArguments(const EncodeRequest& request);

// The arguments that describe the input and stop: what ReadInputFacts reads.
TArguments DescribeArguments(std::string_view input);

}  // namespace convert
