// How outputs are named and where they go: the pattern OutputName with its tokens, and
// Windows' limits on a name and a path.
#pragma once
#include <string>
#include <string_view>

#include "convert/TargetLogic.h"
#include "framework/text.h"

namespace convert {

// OutputName's default: the input's own name.
inline constexpr std::string_view kDefaultOutputName = "{name}";

// What the tokens of a name stand for, for one row.
struct NameFacts {
    std::string input{};     // the input's path
    std::string modified{};  // {date}: its modified date, "yyyy-mm-dd"
    Target target = Target::Mpeg;
    int number = 0;  // {n}: the row's number in the queue, from 1
};

// The output's file name under the pattern: {name} (the input's name without its
// extension), {folder} (the name of its folder), {date}, {target} ("MPEG", "VCD" or "DVD")
// and {n} (three digits) replaced; a character Windows forbids in a name made "_"; ".mpg"
// added. A pattern that yields no name (or only blanks and dots) is read as {name}: with it,
// the name is the one the program has always given.
std::string OutputFileName(std::string_view pattern, const NameFacts& facts, fw::LeadBytePredicate isLead);

// Windows' limits: 255 characters a name, 32,767 a path in its long form. Counted in UTF-16,
// as Windows counts them.
bool WithinPathLimits(std::string_view path);
inline constexpr const char* kNameTooLong =
    "The name made from the pattern is too long for Windows. Choose a shorter pattern in Options.";

}  // namespace convert
