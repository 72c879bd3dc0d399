// Text helpers for 8-bit strings.
#include "framework/text.h"

#include "framework/errors.h"

namespace fw {

std::string WithFinalBackslash(std::string folder)
{
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string Trim(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return std::string(text.substr(first, last - first));
}

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool SameTextAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

std::int64_t StrToInt64(std::string_view text)
{
    auto fail = [&] { return EConvertError(FormatText("'%s' is not a valid integer value", {std::string(text)})); };
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) throw fail();
    const std::uint64_t limit = static_cast<std::uint64_t>(INT64_MAX) + (negative ? 1u : 0u);
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') throw fail();
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (limit - digit) / 10) throw fail();  // checked before it could wrap
        value = value * 10 + digit;
    }
    return negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
}

int StrToInt(std::string_view text)
{
    std::int64_t value = StrToInt64(text);
    if (value < INT32_MIN || value > INT32_MAX)
        throw EConvertError(FormatText("'%s' is not a valid integer value", {std::string(text)}));
    return static_cast<int>(value);
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::size_t LastDelimiter(std::string_view chars, std::string_view text, LeadBytePredicate isLead)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isLead && isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            ++i;  // the trail byte is never a delimiter
            continue;
        }
        if (chars.find(text[i]) != std::string_view::npos) found = i;
    }
    return found;
}

std::string FormatText(std::string_view pattern, const std::vector<std::string>& args)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && next < args.size()) {
            out += args[next++];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace fw

namespace fw {
std::string WithFullStop(std::string_view text)
{
    std::string out(text);
    if (!out.empty() && static_cast<unsigned char>(out.back()) > '.') out += '.';
    return out;
}

std::string WithoutFinalStop(std::string_view text)
{
    std::string out = Trim(text);
    if (!out.empty() && out.back() == '.') out.pop_back();
    return out;
}
std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace fw

namespace fw {

TextMarks MarksFor(bool utf8CodePage)
{
    return utf8CodePage ? TextMarks{"\xC2\xB7", "\xE2\x80\xA6", "\xC3\x97"} : TextMarks{"-", "...", "x"};
}

}  // namespace fw
