// Text helpers for 8-bit strings: trimming, ASCII case folding, numbers, line splitting.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// Tells whether a byte starts a double-byte character in the active code page.
// Pure code takes it as a parameter; nullptr means a single-byte code page.
using LeadBytePredicate = bool (*)(unsigned char);

// Removes leading and trailing characters whose code is 32 or less.
std::string Trim(std::string_view text);
// A folder's path with one final backslash (an empty path gets one too).
std::string WithFinalBackslash(std::string folder);
std::string UpperAscii(std::string_view text);
// Equal when only the ASCII letters A-Z/a-z differ in case.
bool SameTextAscii(std::string_view a, std::string_view b);

// Reads a decimal integer; raises EConvertError "'%s' is not a valid integer value".
std::int64_t StrToInt64(std::string_view text);
int StrToInt(std::string_view text);

// Splits at CR LF, lone CR or lone LF; a break at the very end starts no further line.
std::vector<std::string> SplitLines(std::string_view text);
// Each line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Index of the last byte of `text` that is one of `chars`, passing over second halves
// of double-byte characters; npos when there is none.
std::size_t LastDelimiter(std::string_view chars, std::string_view text, LeadBytePredicate isLead);

// Replaces each "%s" of the pattern, in order, by the next argument.
std::string FormatText(std::string_view pattern, const std::vector<std::string>& args);

// The marks beyond ASCII that the program's texts use, in UTF-8; where UTF-8 is not the code
// page (Windows 10 before 1903), their ASCII stand-ins, which no code page shows wrong.
struct TextMarks {
    const char* dot;       // between the parts of a caption: "·" or "-"
    const char* ellipsis;  // "…" or "..."
    const char* times;     // a picture's size, "1920×1080" or "1920x1080"
};
TextMarks MarksFor(bool utf8CodePage);

}  // namespace fw

namespace fw {
// The error display's text: a full stop is appended when the last character's code is
// above that of the full stop.
std::string WithFullStop(std::string_view text);
// A system's text to be set inside a sentence: trimmed, without its final full stop.
std::string WithoutFinalStop(std::string_view text);
}  // namespace fw
