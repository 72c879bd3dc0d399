// Names of outputs made from the pattern OutputName.
#include "batch/OutputNames.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

namespace batch {

namespace {

// The name part of a path (after the last backslash or colon) and the folder's name before it.
std::string_view NamePart(std::string_view path, fw::LeadBytePredicate isLead)
{
    const std::size_t cut = fw::LastDelimiter("\\:", path, isLead);
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string_view WithoutExtension(std::string_view name, fw::LeadBytePredicate isLead)
{
    const std::size_t dot = fw::LastDelimiter(".", name, isLead);
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string_view FolderName(std::string_view path, fw::LeadBytePredicate isLead)
{
    const std::size_t cut = fw::LastDelimiter("\\:", path, isLead);
    return cut == std::string_view::npos ? std::string_view{} : NamePart(path.substr(0, cut), isLead);
}

bool Lead(fw::LeadBytePredicate isLead, char c)
{
    return isLead && isLead(static_cast<unsigned char>(c));
}

const char* TargetToken(encode::Target target)
{
    switch (target) {
    case encode::Target::VcdPal: case encode::Target::VcdNtsc: return "VCD";
    case encode::Target::DvdPal: case encode::Target::DvdNtsc: return "DVD";
    case encode::Target::Mpeg: break;
    }
    return "MPEG";
}

std::string Expanded(std::string_view pattern, const NameFacts& facts, fw::LeadBytePredicate isLead)
{
    char number[16];
    std::snprintf(number, sizeof number, "%03d", facts.number);
    const std::pair<std::string_view, std::string> tokens[] = {
        {"{name}", std::string(WithoutExtension(NamePart(facts.input, isLead), isLead))},
        {"{folder}", std::string(FolderName(facts.input, isLead))},
        {"{date}", facts.modified},
        {"{target}", TargetToken(facts.target)},
        {"{n}", number},
    };
    std::string name;
    for (std::size_t i = 0; i < pattern.size();) {
        bool replaced = false;
        for (const auto& [token, value] : tokens)
            if (pattern.substr(i, token.size()) == token) {
                name += value;
                i += token.size();
                replaced = true;
                break;
            }
        if (replaced) continue;
        const bool lead = Lead(isLead, pattern[i]) && i + 1 < pattern.size();
        name += pattern.substr(i, lead ? 2 : 1);
        i += lead ? 2 : 1;
    }
    return name;
}

// What Windows forbids in a name becomes "_"; a trail byte of a double-byte character is kept.
std::string Allowed(std::string name, fw::LeadBytePredicate isLead)
{
    constexpr std::string_view forbidden = "<>:\"/\\|?*";
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (Lead(isLead, name[i])) {
            ++i;
            continue;
        }
        if (c < 0x20 || forbidden.find(static_cast<char>(c)) != std::string_view::npos) name[i] = '_';
    }
    // Windows would drop a name's final blanks and dots: one of nothing else is none.
    return name.find_first_not_of(" .") == std::string::npos ? std::string() : name;
}

}  // namespace

std::string FolderName(std::string_view typed, const std::string& fallback, fw::LeadBytePredicate isLead)
{
    std::string name = Allowed(std::string(typed), isLead);
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    return name.empty() ? fallback : OutsideDevices(name);
}

namespace {

// UTF-16 units of a UTF-8 text: one for each character, two above U+FFFF.
std::size_t Utf16Length(std::string_view text)
{
    std::size_t units = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) ++units;  // a character's first byte
        if (c >= 0xF0) ++units;           // a surrogate pair
    }
    return units;
}

}  // namespace

std::string OutputFileName(std::string_view pattern, const NameFacts& facts, fw::LeadBytePredicate isLead)
{
    std::string name = Allowed(Expanded(pattern, facts, isLead), isLead);
    if (name.empty()) name = Allowed(Expanded(kDefaultOutputName, facts, isLead), isLead);
    return OutsideDevices(name + ".mpg");
}

std::string OutsideDevices(std::string name)
{
    std::size_t end = std::min(name.find('.'), name.size());
    while (end > 0 && name[end - 1] == ' ') --end;
    std::string first = name.substr(0, end);
    for (char& c : first) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // COM0 to COM9, and COM¹ to COM³ (a superscript is two bytes in UTF-8), LPT likewise.
    const std::string digit = first.size() > 3 ? first.substr(3) : std::string();
    const bool numbered = (first.rfind("COM", 0) == 0 || first.rfind("LPT", 0) == 0) &&
                          ((digit.size() == 1 && std::isdigit(static_cast<unsigned char>(digit[0]))) || digit == "\xC2\xB9" ||
                           digit == "\xC2\xB2" || digit == "\xC2\xB3");
    if (numbered || first == "NUL" || first == "CON" || first == "PRN" || first == "AUX") name.insert(end, "_");
    return name;
}

std::string SavedOutputsText(const std::vector<SavedOutput>& outputs)
{
    std::string text;
    for (const SavedOutput& saved : outputs)
        text += saved.output + "\t" + saved.input + "\t" + std::to_string(saved.size) + "\t" + std::to_string(saved.modified) + "\r\n";
    return text;
}

std::vector<SavedOutput> ParseSavedOutputs(std::string_view text)
{
    std::vector<SavedOutput> outputs;
    for (const std::string& line : fw::SplitLines(std::string(text))) {
        std::vector<std::string> parts;
        for (std::size_t start = 0;;) {
            const std::size_t tab = line.find('\t', start);
            parts.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        if (parts.size() != 4 || parts[0].empty() || parts[1].empty()) continue;
        char *sizeEnd = nullptr, *timeEnd = nullptr;
        const long long size = std::strtoll(parts[2].c_str(), &sizeEnd, 10);
        const unsigned long long modified = std::strtoull(parts[3].c_str(), &timeEnd, 10);
        if (parts[2].empty() || parts[3].empty() || *sizeEnd || *timeEnd || size < 0) continue;
        outputs.push_back({parts[0], parts[1], size, modified});
    }
    return outputs;
}

std::vector<SavedOutput> NewestSavedOutputs(const std::vector<SavedOutput>& outputs, std::size_t most,
                                            const std::function<std::string(const std::string&)>& key)
{
    std::vector<SavedOutput> newest;
    std::unordered_set<std::string> kept;
    for (auto it = outputs.rbegin(); it != outputs.rend() && newest.size() < most; ++it)
        if (kept.insert(key(it->output)).second) newest.push_back(*it);
    return {newest.rbegin(), newest.rend()};
}

bool SameSavedTime(std::uint64_t recorded, std::uint64_t now, bool fat)
{
    if (!fat) return recorded == now;
    constexpr std::uint64_t second = 10'000'000, hour = 3600 * second, slack = 2 * second;
    const std::uint64_t apart = recorded > now ? recorded - now : now - recorded;
    const std::uint64_t offHour = apart % hour;
    return apart <= 24 * hour + slack && (offHour <= slack || hour - offHour <= slack);
}

std::string ForeignFileNote(std::string_view meant, std::string_view savedAs, fw::LeadBytePredicate isLead)
{
    const std::string_view name = NamePart(meant, isLead);
    return "The converted file was saved as " + std::string(NamePart(savedAs, isLead)) + ": " + std::string(name) +
           " was there already, and Mervane did not make it from this file, so it was left as it was.";
}

bool WithinPathLimits(std::string_view path)
{
    constexpr std::size_t kMostName = 255, kMostPath = 32767 - 8;  // less the long form's "\\?\UNC\"
    if (Utf16Length(path) > kMostPath) return false;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (Utf16Length(path.substr(start, end - start)) > kMostName) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace batch
