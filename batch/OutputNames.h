// How outputs are named and where they go: the pattern OutputName with its tokens, and
// Windows' limits on a name and a path.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "encode/TargetLogic.h"
#include "framework/text.h"

namespace batch {

// OutputName's default: the input's own name.
inline constexpr std::string_view kDefaultOutputName = "{name}";

// What the tokens of a name stand for, for one row.
struct NameFacts {
    std::string input{};     // the input's path
    std::string modified{};  // {date}: its modified date, "yyyy-mm-dd"
    encode::Target target = encode::Target::Mpeg;
    int number = 0;  // {n}: the row's number in the queue, from 1
};

// The output's file name under the pattern: {name} (the input's name without its
// extension), {folder} (the name of its folder), {date}, {target} ("MPEG", "VCD" or "DVD")
// and {n} (three digits) replaced; a character Windows forbids in a name made "_"; ".mpg"
// added. A pattern that yields no name (or only blanks and dots) is read as {name}: with it,
// the name is the input's own, which other programs and users' habits may look for.
std::string OutputFileName(std::string_view pattern, const NameFacts& facts, fw::LeadBytePredicate isLead);

// A name Windows opens as a device however it ends (NUL, CON, PRN, AUX, COM0 to COM9 and COM¹
// to COM³, LPT0 to LPT9 and LPT¹ to LPT³, in any case, with or without an extension or final blanks): "_" is added to its first
// part ("nul.mpg" is "nul_.mpg"). Any other name is as it is.
std::string OutsideDevices(std::string name);
// A name the user typed for a folder (a disc's), as Windows takes it: forbidden characters
// made "_", final blanks and dots dropped, outside the devices; `fallback` where none is left.
std::string FolderName(std::string_view typed, const std::string& fallback, fw::LeadBytePredicate isLead);

// Windows' limits: 255 characters a name, 32,767 a path in its long form. Counted in UTF-16,
// as Windows counts them.
bool WithinPathLimits(std::string_view path);
inline constexpr const char* kNameTooLong =
    "The name made from the pattern is too long for Windows. Choose a shorter pattern in Options.";

// The outputs the program has saved, kept in the user's local application data: what each
// was made from, and its size and modified time as saved, so that a file the user put under
// that name since is told apart.
struct SavedOutput {
    std::string output{};
    std::string input{};
    std::int64_t size = 0;
    std::uint64_t modified = 0;  // in the system's file time
    bool operator==(const SavedOutput&) const = default;
};
// A line each: the output, the input, the size and the time, separated by tabs.
std::string SavedOutputsText(const std::vector<SavedOutput>& outputs);
// The outputs of such a text; a line that is not one is passed over.
std::vector<SavedOutput> ParseSavedOutputs(std::string_view text);
// How many the record keeps: the oldest go first.
inline constexpr std::size_t kMostSavedOutputs = 20000;
// The record made whole again: the newest line of each output (told apart by `key`, the name
// as the file system compares it), at most `most` of them, oldest first.
std::vector<SavedOutput> NewestSavedOutputs(const std::vector<SavedOutput>& outputs, std::size_t most,
                                            const std::function<std::string(const std::string&)>& key);
// Whether a file's modified time is still the one recorded. FAT keeps times to two seconds,
// and in local time, so a change of clock or time zone moves them by whole hours.
bool SameSavedTime(std::uint64_t recorded, std::uint64_t now, bool fat);

// What a click on "Done" says of an output whose name another file had: that file is none
// of the program's, and is left as it was.
std::string ForeignFileNote(std::string_view meant, std::string_view savedAs, fw::LeadBytePredicate isLead);

}  // namespace batch
