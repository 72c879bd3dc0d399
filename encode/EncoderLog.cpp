// Reading the encoder's log.
#include "encode/EncoderLog.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "encode/FitLogic.h"
#include "framework/text.h"

namespace encode {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool Contains(std::string_view line, std::string_view part)
{
    return line.find(part) != std::string_view::npos;
}

// The encoder names the step of its own work that a line comes from ("[vost#0:0/mpeg1video @ 0x1] ",
// "[dec:h264 @ 0x2] "), which tells the user nothing; a library's name ("[h264 @ 0x3] ")
// stays, as it says what was being read.
std::string WithoutStepNames(std::string line)
{
    while (StartsWith(line, "[")) {
        const std::size_t end = line.find("] ");
        if (end == std::string::npos) break;
        const std::string_view source = std::string_view(line).substr(1, end - 1);
        if (!Contains(source, "#") && !StartsWith(source, "dec:") && !StartsWith(source, "enc:")) break;
        line.erase(0, end + 2);
    }
    return line;
}

// The log's lines as they read without step names, blanks and indented details; a file that
// cannot be opened is one line, "path: reason" (the encoder says the reason of an input
// before its path, and an output's as "Error opening output path: reason").
std::vector<std::string> PlainLines(const std::vector<std::string>& logLines)
{
    constexpr std::string_view kInputReason = "Error opening input: ", kInputFile = "Error opening input file ",
                               kOutput = "Error opening output ";
    std::vector<std::string> lines;
    std::string inputReason;
    for (const std::string& raw : logLines) {
        if (raw.empty() || static_cast<unsigned char>(raw[0]) <= ' ') continue;
        std::string line = WithoutStepNames(fw::Trim(raw));
        if (StartsWith(line, kInputReason)) {
            inputReason = line.substr(kInputReason.size());
            continue;
        }
        if (StartsWith(line, kInputFile) && !inputReason.empty() && line.back() == '.') {
            line = line.substr(kInputFile.size(), line.size() - kInputFile.size() - 1) + ": " + inputReason;
            inputReason.clear();
        } else if (StartsWith(line, kOutput) && !StartsWith(line, "Error opening output file")) {
            line.erase(0, kOutput.size());
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// "video:1272KiB audio:188KiB ... muxing overhead: 0.027%".
bool IsSummaryLine(std::string_view line)
{
    return StartsWith(line, "video:") && line.find("muxing overhead") != std::string_view::npos;
}

// "frame=  300 fps=... time=00:00:12.00 bitrate=..." and the audio-only "size=... time=...".
bool IsProgressLine(std::string_view line)
{
    return (StartsWith(line, "frame=") || StartsWith(line, "size=")) && line.find("time=") != std::string_view::npos;
}

// What the encoder prints on every run, failed or not.
bool IsRoutineLine(std::string_view line)
{
    for (std::string_view prefix : {"ffmpeg version", "Input #", "Output #", "Stream mapping:", "Press [q]",
                                    "Please use -b:a or -b:v", "Codec AVOption"})
        if (StartsWith(line, prefix)) return true;
    return false;
}

// A line that says what is wrong with the input or the output.
bool IsTellingLine(std::string_view line)
{
    for (std::string_view part : {"Invalid data found", "not supported", "No such file or directory", "Permission denied",
                                  "No space left on device", "no decoder found"})
        if (Contains(line, part)) return true;
    return StartsWith(line, "Decoder ") && Contains(line, "not found");
}

// What the encoder says as it gives up, or as each step of its work ends, whatever went
// wrong before.
bool IsClosingComplaint(std::string_view line)
{
    for (std::string_view prefix :
         {"Error marking filters as finished", "Cannot determine format of input", "Error opening input files",
          "Error opening output file", "Task finished with error code", "Terminating thread with return code",
          "Error sending frames to consumers", "Could not open encoder before EOF", "Nothing was written into output file",
          "No filtered frames for output stream", "Decode error rate"})
        if (StartsWith(line, prefix)) return true;
    return false;
}

}  // namespace

bool EncoderFinished(const std::vector<std::string>& logLines)
{
    const std::vector<std::string> lines = PlainLines(logLines);
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return IsSummaryLine(line); });
}

std::string ReasonLine(const std::vector<std::string>& logLines)
{
    constexpr std::string_view kGeneric = "Conversion failed!";
    const std::vector<std::string> lines = PlainLines(logLines);
    std::string plain, complaint, generic;
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const std::string& line = *it;
        if (IsProgressLine(line) || IsSummaryLine(line) || IsRoutineLine(line)) continue;
        const bool closing = IsClosingComplaint(line);
        if (!closing && IsTellingLine(line)) return line;
        std::string& slot = line == kGeneric ? generic : closing ? complaint : plain;
        if (slot.empty()) slot = line;
    }
    return !plain.empty() ? plain : !complaint.empty() ? complaint : generic;
}

namespace {

// What the encoder's negative error numbers mean: errno values, and its own tags.
const char* ErrorMeaning(long code)
{
    constexpr auto tag = [](char a, char b, char c, char d) {
        return -static_cast<long>(static_cast<unsigned long>(a) | static_cast<unsigned long>(b) << 8 |
                                  static_cast<unsigned long>(c) << 16 | static_cast<unsigned long>(d) << 24);
    };
    const std::pair<long, const char*> meanings[] = {
        {-2, "No such file or directory"}, {-5, "Input/output error"}, {-12, "Not enough memory"},
        {-13, "Permission denied"}, {-22, "Invalid argument"}, {-28, "No space left on device"},
        {tag('I', 'N', 'D', 'A'), "Invalid data found when processing input"}, {tag('E', 'O', 'F', ' '), "End of file"},
        {tag('E', 'X', 'I', 'T'), "Immediate exit requested"},
    };
    for (const auto& [number, meaning] : meanings)
        if (number == code) return meaning;
    return nullptr;
}

}  // namespace

std::string ExitCodeText(unsigned long exitCode)
{
    if (exitCode >= 0xC0000000UL && exitCode < 0xD0000000UL) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08lX", exitCode);
        return hex;
    }
    return std::to_string(static_cast<long>(static_cast<std::int32_t>(exitCode)));
}

std::string EncoderFailure(unsigned long exitCode, const std::vector<std::string>& logLines, std::int64_t outputSize)
{
    const std::string code = ExitCodeText(exitCode);
    if (exitCode != 0) {
        std::string line = ReasonLine(logLines);
        if (line.empty())
            if (const char* meaning = ErrorMeaning(static_cast<std::int32_t>(exitCode))) line = meaning;
        return line.empty() ? "The encoder ended with exit code " + code + "."
                            : "The encoder ended with exit code " + code + ": " + fw::WithFullStop(line);
    }
    if (!EncoderFinished(logLines)) return "The encoder stopped before the end (exit code " + code + ").";
    if (outputSize <= 0) return "The encoder wrote no output file.";
    return {};
}

namespace {

// "HH:MM:SS.ss" as the encoder writes times; none for "N/A" or anything else.
std::optional<double> ClockSeconds(std::string_view text)
{
    int hours = 0, minutes = 0;
    double seconds = 0;
    char after = 0;
    const std::string copy(text.substr(0, 32));
    if (std::sscanf(copy.c_str(), "%d:%d:%lf%c", &hours, &minutes, &seconds, &after) < 3 || hours < 0) return std::nullopt;
    return hours * 3600.0 + minutes * 60.0 + seconds;
}

// "12:03", or "1:02:03" past an hour.
std::string ClockText(double seconds)
{
    const long whole = static_cast<long>(seconds);
    char text[32];
    if (whole >= 3600) std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

ReadThrough ReadThroughOf(const std::vector<std::string>& headLines, const std::vector<std::string>& tailLines)
{
    ReadThrough run;
    for (const std::string& line : headLines) {
        if (line.find("Output #") != std::string::npos) break;  // the input's own duration comes first
        const std::size_t at = line.find("Duration: ");
        if (at != std::string::npos) {
            run.duration = ClockSeconds(std::string_view(line).substr(at + 10));
            break;
        }
    }
    constexpr std::string_view kDemuxing = "Error during demuxing: ";
    for (const std::string& raw : tailLines) {
        const std::string line = fw::Trim(raw);
        if (IsProgressLine(line)) {
            if (const std::optional<double> time = ClockSeconds(std::string_view(line).substr(line.find("time=") + 5))) run.read = time;
            if (line.rfind("frame=", 0) == 0) run.frames = std::strtol(line.c_str() + 6, nullptr, 10);
        }
        const std::size_t at = line.find(kDemuxing);
        if (at != std::string::npos && (Contains(line, "Input/output error") || Contains(line, "I/O error")))
            run.readError = line.substr(at + kDemuxing.size());
    }
    return run;
}

ShortRead ShortReadOf(const ReadThrough& run)
{
    if (!run.duration) return {};
    const double read = run.read.value_or(0), duration = std::min(*run.duration, run.probed.value_or(*run.duration));
    if (duration <= 0) return {};
    if (duration - read <= std::max(2.0, duration * 0.005)) return {};
    if (!run.readError.empty())
        return {"The input could not be read past " + ClockText(read) + " of " + ClockText(duration) + ": " +
                fw::WithFullStop(fw::WithoutFinalStop(run.readError)), {}};
    return {{}, "Only " + Duration(static_cast<std::int64_t>(read)) + " of " + Duration(std::llround(duration)) +
                    " could be read: the file ends early."};
}

}  // namespace encode
