// The encoder's arguments, and their quoting.
#include "encode/EncoderArgs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "encode/Frame.h"
#include "encode/Rates.h"

namespace encode {

namespace {

// Characters an argument may have and still go without quotes: the encoder's option values
// ("yadif=deint=interlaced,scale=4094:2302") have nothing the command line splits or reads.
bool Plain(std::string_view text)
{
    if (text.empty()) return false;
    for (const char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && std::string_view("-_.,:=+/@%").find(c) == std::string_view::npos)
            return false;
    return true;
}

// In double quotes, as the C runtime reads them back: a quote inside is escaped, and the
// backslashes before it or before the closing quote are doubled.
std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

std::string Size(PictureSize size) { return std::to_string(size.width) + ":" + std::to_string(size.height); }

// The sound's gain, where there is one, after the downmix to stereo that its measure heard:
// the encoder's own downmix for its two channels is another, a surround track's some 8 dB
// quieter.
void AddGain(TArguments& args, const EncodeRequest& request)
{
    if (request.meterSound && request.pass == 1) args.Add({"-af", kSoundMeter});
    if (!request.gainDb) return;
    char gain[64];
    std::snprintf(gain, sizeof gain, "aformat=channel_layouts=stereo,volume=%.1fdB", *request.gainDb);
    args.Add({"-af", gain});
}

bool Hdr(const EncodeRequest& request) { return request.facts && IsHdr(*request.facts); }

// The picture and the chosen audio tracks, where the input has more than one to choose from:
// its first picture that is not a cover ("V"), and its audio in the order AudioTracksFor
// gives; a DVD's silent track from the second input, the silence made for it.
void AddMaps(TArguments& args, const EncodeRequest& request, bool everyTrack, bool silence)
{
    if (!request.facts) return;
    std::vector<int> tracks = AudioTracksFor(*request.facts, everyTrack);
    if (tracks.empty() && request.facts->videoTracks < 2 && !request.title) return;
    if (tracks.empty() && request.facts->hasAudio) tracks.push_back(0);
    // A joined disc's title has its number of tracks: a clip's first ones, then silence.
    const std::size_t carried = request.title ? static_cast<std::size_t>(request.title->audioTracks) : std::max<std::size_t>(tracks.size(), silence);
    args.Add({"-map", "0:V:0"});
    for (std::size_t n = 0; n < carried; ++n) args.Add({"-map", n < tracks.size() ? "0:a:" + std::to_string(tracks[n]) : "1:a:0"});
}

// A disc's picture is recoded to BT.601 when its source is in BT.709 (an HDR one once tone-mapped).
bool ToBt601(const EncodeRequest& request) { return request.facts && HdMatrix(*request.facts); }

// The standard MPEG line's rates, which players of every age take, and a DVD's own average.
constexpr int kDvdVideoRate = 6'000'000;
// The least a fitted file's picture is given, however many tracks take the rest.
constexpr int kLeastVideoRate = 300'000;

// The high quality is a constant quality: each picture at the encoder's quantiser 5 at least
// (finer only where the rate allows none coarser), up to a peak the players keep up with. On
// the wild clips against references made by this encoder at the output's frame rate, 5 keeps
// SSIM at 0.973 or more (the action camera's 848x480 at 0.976) in 46 % of the bytes of the
// earlier fixed rate of 1.2 bits a pixel, and in less time; 4 took 57 %, and the encoder's
// rate-distortion decisions and trellis saved 12 % more at three times the time.
constexpr int kHighQuantiser = 5;
constexpr int kHighBuffer = 4'194'304;  // bits: a 4K picture's first frame at the quantiser fits
// What the high quality takes, for the sizes said before and during a batch: 0.6 bits a pixel
// up to 6 Mbit/s, above what the wild clips' footage took (0.5 bits a pixel on the action
// camera's grainy 848x480, at most 5.7 Mbit/s on larger pictures, which compress better).
constexpr double kHighBitsPerPixel = 0.6;
constexpr int kHighTypicalMost = 6'000'000;

bool High(const EncodeRequest& request) { return request.quality == Quality::High && !request.fittedRate; }

// The video rate asked of the encoder: a fitted batch's, the standard one, or under the high
// quality the peak, which the quantiser keeps it below where it can.
int VideoRate(const EncodeRequest& request)
{
    if (request.target == Target::Mpeg) {
        if (request.fittedRate) return *request.fittedRate;
        return High(request) ? kHighRateMost : kStandardVideoRate;
    }
    if (!StandardOf(request.target).dvd) return 1150000;
    // A fitted file's share is a rate for the picture and one track: each further track is
    // paid for from its picture.
    const int tracks = AudioTracksCarried(request);
    const int rate = request.fittedRate ? std::max(kLeastVideoRate, *request.fittedRate - (tracks - 1) * AudioRateFor(request.target, request.quality))
                     : High(request)    ? kDvdPeakVideoRate
                                        : kDvdVideoRate;
    return std::min(rate, DvdVideoPeak(tracks));
}

// The video rate a file is expected to take: the rate asked, or under the high quality what
// its picture typically takes (a picture not yet described, the most typical).
int ExpectedVideoRate(const EncodeRequest& request)
{
    if (!High(request) || (request.target != Target::Mpeg && !StandardOf(request.target).dvd)) return VideoRate(request);
    PictureSize picture = request.scaleTo.value_or(request.facts ? request.facts->picture : PictureSize{});
    if (request.target != Target::Mpeg) picture = {StandardOf(request.target).width, StandardOf(request.target).height};
    const double typical = request.facts ? kHighBitsPerPixel * picture.width * picture.height * 25 : kHighTypicalMost;
    return static_cast<int>(std::min({typical, double(kHighTypicalMost), double(VideoRate(request))}));
}

// A DVD's own rates where they are not the standard's: a fitted or high-quality picture's, and
// its peak, which comes down where more than one track must fit beside it in the disc's stream.
void AddDvdRates(TArguments& args, const EncodeRequest& request)
{
    if (request.quality == Quality::High || request.fittedRate) args.Add({"-b:v", std::to_string(VideoRate(request))});
    if (High(request)) args.Add({"-qmin", std::to_string(kHighQuantiser)});
    if (const int peak = DvdVideoPeak(AudioTracksCarried(request)); peak < kDvdPeakVideoRate)
        args.Add({"-maxrate:v", std::to_string(peak)});
}

// The subtitles filter after the picture's last change of size, `height` lines high and
// shown `shownWidth` wide; nothing where there are none.
std::string SubtitlesAfter(const EncodeRequest& request, int shownWidth, int height)
{
    const std::optional<SubtitleSource> source = SubtitlesOf(request);
    return source ? "," + SubtitlesFilter(*source, request.input, shownWidth, height) : std::string();
}

// An MPEG picture keeps its input's shape: one shown wider or narrower than it is stored
// (by more than a rounding) is drawn on for the width it is shown at.
std::string MpegSubtitles(const EncodeRequest& request)
{
    if (!request.facts) return SubtitlesAfter(request, 0, 0);
    const PictureSize stored = request.scaleTo.value_or(request.facts->picture);
    const double shown = stored.height * request.facts->displayAspect;
    const bool square = stored.height <= 0 || std::abs(shown - stored.width) <= 0.01 * stored.width;
    return SubtitlesAfter(request, square ? 0 : static_cast<int>(std::lround(shown)), stored.height);
}

void AddPass(TArguments& args, const EncodeRequest& request)
{
    if (request.pass == 0) return;
    args.Add({"-pass", std::to_string(request.pass), "-passlogfile"}).AddPath(request.passLog);
}

// The MPEG line's arguments after the input and its first filters.
TArguments& MpegArguments(TArguments& args, const EncodeRequest& request, std::string filters)
{
    // A joined batch's part has sound, silence where its input has none: the parts are
    // joined as streams of the same kinds.
    const bool silent = request.title && request.facts && !request.facts->hasAudio;
    if (silent) args.Add({"-f", "lavfi", "-i", "anullsrc=channel_layout=stereo:sample_rate=44100"});
    if (request.scaleTo) filters += ",scale=" + Size(*request.scaleTo);
    args.Add({"-y", "-vf", filters + MpegSubtitles(request)});
    AddMaps(args, request, false, silent);
    AddGain(args, request);
    args.Add({"-b", std::to_string(VideoRate(request))});
    if (High(request)) args.Add({"-maxrate", std::to_string(kHighRateMost), "-bufsize", std::to_string(kHighBuffer), "-qmin", std::to_string(kHighQuantiser)});
    args.Add({"-r", "25", "-ab", std::to_string(AudioRateFor(request.target, request.quality)), "-ar", "44100", "-ac", "2", "-f", "mpeg"});
    if (silent) args.Add({"-shortest"});
    AddPass(args, request);
    return args.AddPath(request.written);
}

}  // namespace

TArguments& TArguments::Add(std::initializer_list<std::string_view> arguments)
{
    for (std::string_view argument : arguments) arguments_.push_back({std::string(argument), false});
    return *this;
}

TArguments& TArguments::AddPath(std::string_view path)
{
    arguments_.push_back({std::string(path), true});
    return *this;
}

std::string TArguments::Line() const
{
    std::string line;
    for (const Argument& argument : arguments_)
        line += " " + (!argument.path && Plain(argument.text) ? argument.text : Quoted(argument.text));
    return line;
}

std::string TArguments::ValueOf(std::string_view option) const
{
    for (std::size_t i = 0; i + 1 < arguments_.size(); ++i)
        if (arguments_[i].text == option) return arguments_[i + 1].text;
    return {};
}

std::optional<SubtitleSource> SubtitlesOf(const EncodeRequest& request)
{
    if (request.sidecar) return request.sidecar;
    const int track = request.ownTrack && request.facts ? TextTrackFor(*request.facts) : -1;
    if (track < 0) return std::nullopt;
    return SubtitleSource{{}, track, false, "the video's own subtitle track"};
}

bool DescribeFirst(Target target)
{
    return target != Target::Mpeg;
}


int AudioTracksCarried(const EncodeRequest& request)
{
    if (request.title) return request.title->audioTracks;
    if (!request.facts || request.target == Target::Mpeg || !StandardOf(request.target).dvd) return 1;
    return std::max<int>(1, static_cast<int>(AudioTracksFor(*request.facts, true).size()));
}

double ExpectedRateKBps(const EncodeRequest& request)
{
    const int audio = AudioTracksCarried(request) * AudioRateFor(request.target, request.quality);
    return kOutputRateKBps * (ExpectedVideoRate(request) + audio) / (kStandardVideoRate + kStandardAudioRate);
}

std::vector<std::string> ColourNotes(const EncodeRequest& request)
{
    std::vector<std::string> notes;
    if (Hdr(request)) notes.push_back("The HDR picture was converted to SDR (tone-mapped).");
    if (request.target != Target::Mpeg && ToBt601(request))
        notes.push_back("The colours were converted to BT.601, as disc players show them.");
    return notes;
}

TArguments EncodeArguments(const EncodeRequest& request)
{
    TArguments args;
    args.Add({"-i"}).AddPath(request.input);
    std::string filters(kDeinterlace);
    if (Hdr(request)) filters += "," + std::string(kToneMap);
    if (request.target == Target::Mpeg) return MpegArguments(args, request, filters);
    const DiscStandard disc = StandardOf(request.target);
    const InputFacts facts = request.facts.value_or(InputFacts{{}, 4.0 / 3, true});
    // Silence for an input without sound, and for the tracks a joined disc's clip lacks.
    const bool silent = !facts.hasAudio || (request.title && request.title->audioTracks > AudioTracksCarried({.target = request.target, .facts = facts}));
    if (silent) args.Add({"-f", "lavfi", "-i", "anullsrc=channel_layout=stereo:sample_rate=" + std::to_string(disc.audioRate)});
    const bool wide = request.title ? request.title->wide : WidePicture(request.target, facts);
    // A DVD's MPEG-2 says its colours in the sequence display extension: the frames are marked
    // with BT.601's (one name for the primaries, the transfer and the matrix), which the encoder
    // writes there.
    const std::string standard = disc.height == 576 ? "bt470bg" : "smpte170m";
    const std::string marked =
        disc.dvd ? ",setparams=color_primaries=" + standard + ":color_trc=" + standard + ":colorspace=" + standard : "";
    const int shownWidth = static_cast<int>(std::lround(disc.height * (wide ? 16.0 / 9 : 4.0 / 3)));
    const std::string box = FrameFilter(disc, wide, facts, ToBt601(request), request.fill == Fill::Blur);
    args.Add({"-y", "-vf", filters + "," + box + SubtitlesAfter(request, shownWidth, disc.height) + marked});
    AddMaps(args, request, disc.dvd, silent);
    AddGain(args, request);
    args.Add({"-target", disc.encoderTarget, "-aspect", wide ? "16:9" : "4:3", "-ac", "2"});
    if (disc.dvd) AddDvdRates(args, request);
    if (silent) args.Add({"-shortest"});
    AddPass(args, request);
    return args.AddPath(request.written);
}

TArguments MeasureArguments(std::string_view input)
{
    TArguments args;
    args.Add({"-hide_banner", "-i"}).AddPath(input);
    // Downmixed to stereo first, as every conversion's sound is: a surround track's loudness is
    // not its stereo's.
    return args.Add({"-vn", "-sn", "-dn", "-map", "0:a:0", "-af", kSoundMeter, "-c:a", "pcm_s16le", "-f", "null", "-"});
}

TArguments DescribeArguments(std::string_view input)
{
    TArguments args;
    args.Add({"-hide_banner", "-i"}).AddPath(input);
    return args;
}

}  // namespace encode
