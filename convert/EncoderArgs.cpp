// The encoder's arguments, and their quoting.
#include "convert/EncoderArgs.h"

#include <cctype>

namespace convert {

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

// The picture letterboxed or pillarboxed into the disc's, shown at `shown` ("16/9", "4/3").
std::string BoxFilter(const DiscStandard& disc, const std::string& shown)
{
    const std::string w = std::to_string(disc.width), h = std::to_string(disc.height);
    return "scale=w='if(gt(dar," + shown + ")," + w + ",2*trunc(" + w + "*dar/(" + shown + ")/2))'" +
           ":h='if(gt(dar," + shown + "),2*trunc(" + h + "*(" + shown + ")/dar/2)," + h + ")'" + ",pad=" + w + ":" + h +
           ":(ow-iw)/2:(oh-ih)/2,setdar=" + shown;
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

TArguments EncodeArguments(const EncodeRequest& request)
{
    TArguments args;
    args.Add({"-i"}).AddPath(request.input);
    std::string filters(kDeinterlace);
    if (request.target == Target::Mpeg) {
        if (request.scaleTo) filters += ",scale=" + Size(*request.scaleTo);
        args.Add({"-y", "-vf", filters});
        args.Add({"-b", "900000", "-r", "25", "-ab", "128000", "-ar", "44100", "-ac", "2", "-f", "mpeg"});
        return args.AddPath(request.written);
    }
    const DiscStandard disc = StandardOf(request.target);
    const bool silent = !request.facts.hasAudio;
    if (silent) args.Add({"-f", "lavfi", "-i", "anullsrc=channel_layout=stereo:sample_rate=" + std::to_string(disc.audioRate)});
    // A DVD is 16:9 for a wide input; a Video CD is always 4:3.
    const bool wide = disc.dvd && request.facts.displayAspect >= 1.5;
    args.Add({"-y", "-vf", filters + "," + BoxFilter(disc, wide ? "16/9" : "4/3")});
    args.Add({"-target", disc.encoderTarget, "-aspect", wide ? "16:9" : "4:3", "-ac", "2"});
    if (silent) args.Add({"-shortest"});
    return args.AddPath(request.written);
}

TArguments DescribeArguments(std::string_view input)
{
    TArguments args;
    args.Add({"-hide_banner", "-i"}).AddPath(input);
    return args;
}

}  // namespace convert
