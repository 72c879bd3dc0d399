// The command line's options.
#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace app {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A setting's value exactly as the settings spell it (in any case), or none: the settings read
// anything else as their default, the command line refuses it.
template <typename Read, typename Spell>
auto Exactly(const std::string& given, Read read, Spell spell)
{
    const std::string value = Lower(given);
    const auto read_ = read(value);
    return std::string(spell(read_)) == value ? std::optional(read_) : std::nullopt;
}

struct Option {
    const char* name;
    bool takesValue;
    // Takes the value into the request; false where it is not one the option takes.
    std::function<bool(RunRequest&, const std::string& value)> take;
};

const Option kOptions[] = {
    {"to", true, [](RunRequest& r, const std::string& v) { return (r.target = Exactly(v, &encode::TargetFromSetting, &encode::TargetSetting)).has_value(); }},
    {"quality", true, [](RunRequest& r, const std::string& v) { return (r.quality = Exactly(v, &encode::QualityFromSetting, &encode::QualitySetting)).has_value(); }},
    {"fit", true, [](RunRequest& r, const std::string& v) { return (r.fitTo = Exactly(v, &encode::FitToFromSetting, &encode::FitSetting)).has_value(); }},
    {"loudness", true, [](RunRequest& r, const std::string& v) { return (r.loudness = Exactly(v, &encode::LoudnessFromSetting, &encode::LoudnessSetting)).has_value(); }},
    {"fill", true, [](RunRequest& r, const std::string& v) { return (r.fill = Exactly(v, &encode::FillFromSetting, &encode::FillSetting)).has_value(); }},
    {"disc", true, [](RunRequest& r, const std::string& v) { return !(r.discName = v)->empty(); }},
    {"join", true, [](RunRequest& r, const std::string& v) { return !(r.joinName = v)->empty(); }},
    {"out", true, [](RunRequest& r, const std::string& v) { return !(r.outputFolder = v)->empty(); }},
    {"convert", false, [](RunRequest& r, const std::string&) { return r.convert = true; }},
    {"close", false, [](RunRequest& r, const std::string&) { return r.close = true; }},
    {"?", false, [](RunRequest& r, const std::string&) { return r.help = true; }},
};

}  // namespace

bool RunRequest::HasOptions() const
{
    return target || quality || fitTo || loudness || fill || discName || joinName || outputFolder || convert || close || help;
}

batch::Choices RunRequest::Over(batch::Choices choices) const
{
    if (target) choices.target = *target;
    if (quality) choices.quality = *quality;
    if (fitTo) choices.fitTo = *fitTo;
    if (loudness) choices.loudness = *loudness;
    if (fill) choices.fill = *fill;
    if (joinName) choices.join = true, choices.discName = *joinName;
    if (discName) choices.disc = disc::Disc::DvdVideo, choices.discName = *discName;
    return choices;
}

RunRequest ParseCommandLine(const std::vector<std::string>& args)
{
    RunRequest request;
    for (std::size_t i = 0; i < args.size() && request.error.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) {
            request.paths.push_back(arg);
            continue;
        }
        const std::string name = Lower(arg.substr(1));
        const Option* option = std::find_if(std::begin(kOptions), std::end(kOptions), [&](const Option& o) { return name == o.name; });
        if (option == std::end(kOptions)) {
            request.error = "Unknown option: " + arg;
        } else if (option->takesValue && i + 1 == args.size()) {
            request.error = arg + " needs a value.";
        } else {
            const std::string given = option->takesValue ? args[++i] : std::string();
            if (!option->take(request, given)) request.error = "Not a value of " + arg + ": " + given;
        }
    }
    const bool dvd = request.target == encode::Target::DvdPal || request.target == encode::Target::DvdNtsc;
    if (request.error.empty() && request.discName && !dvd) request.error = "/disc makes a DVD-Video disc: give /to dvd-pal or /to dvd-ntsc.";
    if (request.error.empty() && request.convert && request.paths.empty()) request.error = "/convert needs files or folders to convert.";
    return request;
}

std::string UsageText()
{
    return "Usage: Mervane.exe [options] [files and folders...]\n"
           "\n"
           "  /to mpeg|vcd-pal|vcd-ntsc|dvd-pal|dvd-ntsc   what to convert to\n"
           "  /quality standard|high                        the quality\n"
           "  /fit none|cd|dvd|dvd-dl|<MB>                  fit the batch to a size\n"
           "  /loudness off|even                            each file's sound as it is, or evened out to -23 LUFS\n"
           "  /fill black|blur                              a disc's bars black, or filled with the picture blurred\n"
           "  /disc <name>                                  make a DVD-Video disc of that name (with /to dvd-pal or dvd-ntsc)\n"
           "  /join <name>                                  join the files into one of that name (with /disc, one title)\n"
           "  /out <folder>                                 the output folder\n"
           "  /convert                                      convert once the files are queued, asking nothing\n"
           "  /close                                        end when the batch ends\n"
           "  /?                                            this text\n"
           "\n"
           "The options apply to this run only; the settings stay as they are. With a copy already running, the\n"
           "files are handed to it and the options are not.\n"
           "Exit codes with /close: 0 every file converted, 1 a file failed, 2 stopped or nothing started,\n"
           "3 the command line was not understood.\n";
}

int ExitCodeOf(int failed, int pending, int rows)
{
    if (failed > 0) return kExitSomeFailed;
    return pending > 0 || rows == 0 ? kExitStoppedOrNone : kExitAllDone;
}

}  // namespace app
