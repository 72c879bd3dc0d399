// The batch's output files: their paths, the names claimed in a run, what a row says of its
// file once saved, its share of the progress, and how many encoders run at once.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encode/WorkFiles.h"
#include "framework/text.h"

namespace batch {

// An output's path: its file name joined to its folder with one backslash (whatever the
// folder ends with), trimmed.
std::string OutputPathFor(std::string_view folder, std::string_view fileName);




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


// The output path for an input that no other input of this run has written: the path
// itself, or "name (2).mpg", "name (3).mpg"... The same input may write its path again.
std::string FreeOutputPath(const std::string& outputPath, const std::string& inputPath, const ClaimedOutputs& claimed,
                           SamePath same);

// A running file's share of the batch in thousandths of a file: its output's size against
// the size expected, at most the whole file.
inline constexpr std::uint64_t kProgressPerFile = 1000;
std::uint64_t FileProgress(std::int64_t size, std::int64_t expectedSize);

// How many encoders run at once: the number chosen, or where none is (0), one per two logical
// processors, at least 2 where there are two or more, at most 4.
inline constexpr int kMostEncoders = 16;
int EncoderCount(unsigned logicalProcessors, int chosen);
// The setting Encoders: 1 to kMostEncoders in decimal text; anything else is 0, none chosen.
int EncodersChosen(std::string_view setting);

}  // namespace batch
