// The encoder's arguments for one run, built as a list in one place (input, filters, rates,
// format, output) and quoted once, when the argument string is made.
#pragma once
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encode/Sound.h"
#include "encode/Subtitles.h"
#include "encode/TargetLogic.h"

namespace encode {

// The deinterlacer, first in every filter chain of the encoder: it changes only the frames
// that are marked interlaced, and nearly every MP4 is progressive.
inline constexpr std::string_view kDeinterlace = "yadif=deint=interlaced";
// HDR to SDR BT.709: to linear light at 100 nits, BT.2020's primaries to BT.709's, then
// Reinhard's curve rolled off towards 2000 nits (twice the peak that HLG and phones' PQ are
// mastered to), so that highlights keep their shape where the Mobius curve made up to 18 % of
// a phone's picture white; mid-tones stay within 6 % of its brightness on the wild clips. Back
// to BT.709's transfer in 8 bits of TV range by the exact curve: the approximate one that the
// scaler takes by default is worked out differently on AVX-512 than on AVX2 for the colours
// outside BT.709 (below zero in linear light), and kept a sixth more saturation on one machine
// than on the other. The curve's few per cent of darker mid-tones take as much from the
// colours; their chroma is raised by 8 % to give it back (within 2 % of the Mobius curve's
// saturation on a chart, within 5 % on phones' clips; the grey scale is untouched).
inline constexpr std::string_view kToneMap = "zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,"
                                             "tonemap=reinhard:param=0.5:peak=20:desat=0,zscale=t=bt709:m=bt709:r=tv:agamma=0,"
                                             "format=yuv420p,lutyuv=u=(val-128)*1.08+128:v=(val-128)*1.08+128";

// A list of arguments. Line() is the argument string with a leading blank before each: a
// path always in double quotes, any other argument quoted only where the command line would
// otherwise split it or read it otherwise.
class TArguments {
public:
    TArguments& Add(std::initializer_list<std::string_view> arguments);
    TArguments& AddPath(std::string_view path);
    std::string Line() const;
    // The argument after `option` ("-vf"); empty when there is none.
    std::string ValueOf(std::string_view option) const;

private:
    struct Argument {
        std::string text;
        bool path = false;
    };
    std::vector<Argument> arguments_;
};

// What one run of the encoder makes of one input.
struct EncodeRequest {
    std::string input{};    // as the encoder opens it (the long form past MAX_PATH)
    std::string written{};  // the temporary file it writes
    Target target = Target::Mpeg;
    Quality quality = Quality::Standard;
    // The encoder's description of the input, once it has given one.
    std::optional<InputFacts> facts{};
    std::optional<PictureSize> scaleTo{};  // a picture larger than MPEG-1 holds, scaled to fit
    std::optional<int> fittedRate{};       // the video rate of a batch fitted to a size
    // A fitted file is encoded twice: the first pass measures the picture into the passes'
    // log, the second spends the rate where the first found it needed. 0: one pass.
    int pass = 0;
    std::string passLog{};  // the log's name, before the "-0.log" the encoder adds
    // The subtitles drawn on the picture: a file beside the input (its copy), else, with
    // `ownTrack`, the input's own track that TextTrackFor gives.
    std::optional<SubtitleSource> sidecar{};
    bool ownTrack = false;
    std::optional<double> gainDb{};  // the sound evened out by this gain
    bool meterSound = false;         // a fitted file's first pass measures its sound on the way
    Fill fill = Fill::Black;         // how a disc's bars around the picture are filled
    // What every file of a joined batch takes: a disc's one title's shape and tracks; a joined
    // file's part one track of sound, silence where its input has none.
    std::optional<TitleShape> title{};
};

// The subtitles a run draws; none where neither a file nor a marked track is there.
std::optional<SubtitleSource> SubtitlesOf(const EncodeRequest& request);

// The run that measures a file's loudness and true peak: its sound alone decoded, as stereo.
TArguments MeasureArguments(std::string_view input);

// Whether the arguments depend on the input's description, so that the encoder describes
// the input before it converts: a disc's standard does. MPEG's line does only for an HDR
// picture or a choice of tracks, which its first run tells.
bool DescribeFirst(Target target);



// The audio tracks an output carries: on a DVD each that AudioTracksFor gives (a silent
// one for an input without sound); one elsewhere.
int AudioTracksCarried(const EncodeRequest& request);

// What the output takes a second, in the measure the progress uses: the standard MPEG
// line's rate scaled by this line's video and audio rates.
double ExpectedRateKBps(const EncodeRequest& request);

// What a click on "Done" says of the colours, each at most once: an HDR picture tone-mapped,
// a disc's picture converted to BT.601.
std::vector<std::string> ColourNotes(const EncodeRequest& request);

// The arguments that convert:
// - MPEG: the standard line, which players of every age take (the picture deinterlaced where
//   it is interlaced, 900 kbit/s, 25 frames, MP2 at 128 kbit/s, 44.1 kHz stereo, an MPEG
//   program stream, the format named since the temporary's extension does not say it); with `scaleTo`, scaled as well;
//   under the high quality a constant quality below a peak of 15 Mbit/s and MP2 at 192 kbit/s;
// - Video CD and DVD: the standard's format, size, rates and program stream, the picture
//   letterboxed or pillarboxed into it, never stretched (a DVD 16:9 for a wide input, else
//   4:3; a Video CD 4:3), its colours in BT.601 (a DVD's stream says so), and a silent track
//   for an input without audio; a DVD under the high quality at a constant quality below its peak;
// - any target: an HDR picture tone-mapped to SDR first.
TArguments EncodeArguments(const EncodeRequest& request);

// The arguments that describe the input and stop: what ReadInputFacts reads.
TArguments DescribeArguments(std::string_view input);

}  // namespace encode
