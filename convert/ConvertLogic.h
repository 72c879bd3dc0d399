// Rules of the conversion engine: command lines, working folders, output paths, sizes and progress.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/text.h"

namespace convert {

// Program path, one blank, parameter text. A program path with a blank in it is quoted,
// so that the system does not start a program named by its first word; any other path
// stays unquoted.
std::string BuildCommandLine(std::string_view program, std::string_view params);

// The folder part of a path: up to the last "\" or ":", without that "\" unless the
// character before it is itself "\" or ":" (so a drive root keeps its backslash).
std::string FolderPart(std::string_view path, fw::LeadBytePredicate isLead);

// The output file for an input: its name with the extension ".mpg", joined to the work
// folder with one backslash (whatever the folder ends with), trimmed.
std::string OutputPathFor(std::string_view inputPath, std::string_view workDir, fw::LeadBytePredicate isLead);

// The encoder's argument string for one file, with its leading blank.
std::string FfmpegArgsFor(std::string_view inputPath, std::string_view outputPath);

inline constexpr double kOutputRateKBps = 114.75;

// The expected output size in bytes for a duration entry (whole seconds, as text):
// duration * 114.75 * 1024, truncated. Raises "'%s' is not a valid integer value".
std::int64_t ExpectedSizeFor(std::string_view durationEntry, double rateKBps);

// "N% Done" for a measured size against the expected one; not capped at 100.
std::string ProgressText(std::int64_t size, std::int64_t expectedSize);

// The encoder's output as it ends a complete run: its closing summary line
// ("video:... audio:... muxing overhead: ...").
bool EncoderFinished(const std::vector<std::string>& logLines);

// The encoder's last line that says what went wrong: not a progress line, not its banner,
// stream listing or summary, not an indented detail; "Conversion failed!" only when
// nothing more telling precedes it. Empty when there is none.
std::string ReasonLine(const std::vector<std::string>& logLines);

// Why a run of the encoder that has ended is not a finished file; empty when it is one
// (exit code 0, the closing summary, an output of some bytes).
std::string EncoderFailure(unsigned long exitCode, const std::vector<std::string>& logLines, std::int64_t outputSize);

// Why a tool ("The encoder", "The media tool") could not be started, from the system's
// text for the error; with a hint at security software where that is the likely cause.
std::string StartFailure(std::string_view tool, unsigned long errorCode, std::string_view systemText,
                         std::string_view toolPath);

inline constexpr const char* kInputGone = "The file is no longer there.";

// Output paths already written in this run, each with the input that wrote it.
struct ClaimedOutput {
    std::string output;
    std::string input;
};
using ClaimedOutputs = std::vector<ClaimedOutput>;
// Whether two paths name the same file, as the caller's file system compares them.
using SamePath = bool (*)(std::string_view, std::string_view);

// The output path for an input that no other input of this run has written: the path
// itself, or "name (2).mpg", "name (3).mpg"... The same input may write its path again.
std::string FreeOutputPath(const std::string& outputPath, const std::string& inputPath, const ClaimedOutputs& claimed,
                           SamePath same);

// A batch's progress in thousandths of a file: the files ended, plus the current file's
// share of its expected size (at most the whole file).
inline constexpr std::uint64_t kProgressPerFile = 1000;
std::uint64_t BatchProgress(int filesEnded, std::int64_t currentSize, std::int64_t expectedSize);

// The state texts of a row.
inline constexpr const char* kPending = "Pending";
inline constexpr const char* kDone = "Done";
inline constexpr const char* kFailed = "Failed";
inline constexpr const char* kConverted = "MPG";

}  // namespace convert
