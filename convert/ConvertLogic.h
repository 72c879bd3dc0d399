// Rules of the conversion engine: command lines, working folders, output paths, sizes and progress.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/text.h"

namespace convert {

// An output's path: its file name joined to its folder with one backslash (whatever the
// folder ends with), trimmed.
std::string OutputPathFor(std::string_view folder, std::string_view fileName);

// The temporary file the encoder writes beside the output; it becomes the output only when
// the file is done, so that a failed run never leaves a file under the output's name. Its
// path is exactly as long as the output's: "name.~00", "name.~01"..., the first that
// `taken` passes over (a file the user has, or one this run writes). Empty when all are.
std::string TemporaryPathFor(std::string_view outputPath, const std::function<bool(const std::string&)>& taken);
// Why a file fails for which no such name is free.
std::string NoTemporaryName(std::string_view outputPath);
// Whether a file name is one of the temporaries: "name.~" and two digits.
bool IsTemporaryName(std::string_view path);

inline constexpr double kOutputRateKBps = 114.75;

// The expected output size in bytes for an input of that many media seconds:
// seconds * 114.75 * 1024, truncated.
std::int64_t ExpectedSizeFor(int mediaSeconds, double rateKBps);

// Why a run failed on a volume that has no room left.
std::string FullDiskFailure(std::string_view volume);

inline constexpr const char* kInputGone = "The file is no longer there.";
// Why a file fails whose path is longer than the encoder could open.
std::string PathTooLong(std::string_view path, std::size_t characters, std::size_t most);
// Why a file failed whose encoder's log could not be made: the log is the problem.
std::string LogFailure(std::string_view logPath, std::string_view systemText);
// Why a finished file could not take the output's name.
std::string SaveFailure(std::string_view outputPath, std::string_view systemText);
// Why a finished file was saved under a free name beside the output's.
std::string SavedBesideNote(std::string_view outputPath, std::string_view savedAs, std::string_view systemText,
                            fw::LeadBytePredicate isLead);
// Why a finished file does not carry its input's modified time.
std::string DateNotKeptNote(std::string_view inputPath, std::string_view systemText, fw::LeadBytePredicate isLead);
// Two notes of a row as one text, a blank between them; either may be empty.
std::string JoinNotes(std::string first, const std::string& second);
// "name (n).mpg" for the output "name.mpg".
std::string NumberedOutputPath(std::string_view outputPath, int n);

// Output paths written in this run, each with the input that wrote it; one still being
// written is free for nobody, not even its own input.
struct ClaimedOutput {
    std::string output;
    std::string input;
    bool writing = false;
};
using ClaimedOutputs = std::vector<ClaimedOutput>;
// Whether two paths name the same file, as the caller's file system compares them.
using SamePath = bool (*)(std::string_view, std::string_view);

// The outputs of one batch, shared with the threads that save finished files: a name is
// claimed under a lock, so that a saver's fallback name and a row starting meanwhile are
// never given one name, and neither later replaces the other.
class TOutputClaims {
public:
    explicit TOutputClaims(SamePath same) : same_(same) {}
    // Claims for the input, as being written, the first of the path (from `from` on) or "name
    // (2).mpg"... that no other input of this run holds and `taken` leaves free.
    std::string Claim(const std::string& outputPath, const std::string& inputPath,
                      const std::function<bool(const std::string&)>& taken = {}, int from = 1);
    // A claim given up: its row did not start.
    void Release(const std::string& outputPath);
    // Its file is written: its own input may write it again, no other.
    void Written(const std::string& outputPath);

private:
    std::mutex mutex_;
    ClaimedOutputs claims_;
    SamePath same_;
};

// The one rule for a free output name: the first of the output's path (from 1) or
// "name (2).mpg", "name (3).mpg"... (from 2 on) that `taken` leaves free.
std::string FirstFreeName(const std::string& outputPath, const std::function<bool(const std::string&)>& taken,
                          int from = 1);

// The output path for an input that no other input of this run has written: the path
// itself, or "name (2).mpg", "name (3).mpg"... The same input may write its path again.
std::string FreeOutputPath(const std::string& outputPath, const std::string& inputPath, const ClaimedOutputs& claimed,
                           SamePath same);

// A running file's share of the batch in thousandths of a file: its output's size against
// the size expected, at most the whole file.
inline constexpr std::uint64_t kProgressPerFile = 1000;
std::uint64_t FileProgress(std::int64_t size, std::int64_t expectedSize);

// How many encoders run at once: one per two logical processors, at least 2 where there
// are two or more, at most 4; a setting of 1 to kMostEncoders (decimal text) overrides it,
// any other content is passed over.
inline constexpr int kMostEncoders = 16;
int EncoderCount(unsigned logicalProcessors, std::string_view setting);

}  // namespace convert
