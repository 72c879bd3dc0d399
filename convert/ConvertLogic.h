// Rules of the conversion engine: command lines, working folders, output paths, sizes and progress.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/text.h"

namespace convert {

// Program path, one blank, parameter text: the program path is not quoted.
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

// The state texts of a row.
inline constexpr const char* kPending = "Pending";
inline constexpr const char* kDone = "Done";
inline constexpr const char* kFailed = "Failed";
inline constexpr const char* kConverted = "MPG";

}  // namespace convert
