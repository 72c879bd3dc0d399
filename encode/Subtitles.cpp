#include "encode/Subtitles.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "framework/text.h"

namespace encode {

namespace {

bool IsLetters(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalpha(c); });
}

// A name's language between the video's name and the subtitles' extension: "" for the
// plain name, "de" for "clip.de.srt"; none for a name that is not the video's subtitles.
std::optional<std::string> LanguageOf(std::string_view name, std::string_view stem)
{
    // Names are compared as Windows compares them; the codes are ASCII.
    const auto extension = std::find_if(kSubtitleExtensions.begin(), kSubtitleExtensions.end(), [&](std::string_view e) {
        return name.size() > e.size() && fw::SameTextAscii(name.substr(name.size() - e.size()), e);
    });
    if (extension == kSubtitleExtensions.end() || name.size() < stem.size() + extension->size() ||
        !fw::SameTextAscii(name.substr(0, stem.size()), stem))
        return std::nullopt;
    std::string_view middle = name.substr(stem.size(), name.size() - stem.size() - extension->size());
    if (middle.empty()) return "";
    // A language: two or three letters, a region after a hyphen allowed ("pt-br").
    if (middle[0] != '.') return std::nullopt;
    middle.remove_prefix(1);
    const std::string_view code = middle.substr(0, middle.find('-'));
    if (code.size() < 2 || code.size() > 3 || !IsLetters(code)) return std::nullopt;
    return std::string(code);
}

// The ISO 639-2 codes whose bibliographic form differs from the terminological one that
// Windows gives.
constexpr std::array<std::pair<std::string_view, std::string_view>, 20> kBibliographic{{
    {"sqi", "alb"}, {"hye", "arm"}, {"eus", "baq"}, {"mya", "bur"}, {"zho", "chi"}, {"ces", "cze"}, {"nld", "dut"},
    {"fra", "fre"}, {"kat", "geo"}, {"deu", "ger"}, {"ell", "gre"}, {"isl", "ice"}, {"mkd", "mac"}, {"mri", "mao"},
    {"msa", "may"}, {"fas", "per"}, {"ron", "rum"}, {"slk", "slo"}, {"bod", "tib"}, {"cym", "wel"},
}};

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool ValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char lead = bytes[i];
        const int follow = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
        if (follow < 0 || i + follow >= bytes.size()) return false;
        for (int k = 1; k <= follow; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += follow + 1;
    }
    return true;
}

// UTF-16 without a byte-order mark: text whose every other byte is nought, in Latin script at least.
std::optional<TextEncoding> Utf16WithoutMark(std::string_view bytes)
{
    if (bytes.size() < 4 || bytes.size() % 2) return std::nullopt;
    std::size_t evenNought = 0, oddNought = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        evenNought += bytes[i] == 0;
        oddNought += bytes[i + 1] == 0;
    }
    const std::size_t half = bytes.size() / 2;
    if (oddNought * 10 >= half * 9 && evenNought == 0) return TextEncoding::Utf16Le;
    if (evenNought * 10 >= half * 9 && oddNought == 0) return TextEncoding::Utf16Be;
    return std::nullopt;
}

}  // namespace

bool SubtitlesFromSetting(std::string_view setting) { return setting != "off"; }
const char* SubtitlesSetting(bool on) { return on ? "auto" : "off"; }

std::optional<std::string> SidecarFor(std::string_view inputName, const std::vector<std::string>& names,
                                      const std::vector<std::string>& languages)
{
    const std::string_view stem = inputName.substr(0, inputName.rfind('.'));
    std::optional<std::string> best;
    int bestRank = 3;
    for (const std::string& name : names) {
        const std::optional<std::string> language = LanguageOf(name, stem);
        if (!language) continue;
        const bool preferred =
            std::any_of(languages.begin(), languages.end(), [&](const std::string& l) { return fw::SameTextAscii(l, *language); });
        const int rank = preferred ? 0 : language->empty() ? 1 : 2;
        if (rank < bestRank || (rank == bestRank && fw::UpperAscii(name) < fw::UpperAscii(*best))) best = name, bestRank = rank;
    }
    return best;
}

std::vector<std::string> LanguageNames(std::string_view twoLetters, std::string_view threeLetters)
{
    std::vector<std::string> names{std::string(twoLetters), std::string(threeLetters)};
    for (const auto& [terminological, bibliographic] : kBibliographic)
        if (fw::SameTextAscii(threeLetters, terminological)) names.emplace_back(bibliographic);
    names.erase(std::remove(names.begin(), names.end(), ""), names.end());
    return names;
}

int TextTrackFor(const InputFacts& facts)
{
    const auto& text = facts.text;
    for (auto marked : {&TextTrack::forced, &TextTrack::isDefault}) {
        const auto found = std::find_if(text.begin(), text.end(), [&](const TextTrack& t) { return t.*marked; });
        if (found != text.end()) return static_cast<int>(found - text.begin());
    }
    return -1;
}

std::string FilterValue(std::string_view value)
{
    const auto escaped = [](std::string_view text, std::string_view specials) {
        std::string out;
        for (char c : text) {
            if (c == '\\' || c == '\'' || specials.find(c) != std::string_view::npos) out += '\\';
            out += c;
        }
        return out;
    };
    return escaped(escaped(value, ":"), "[],;");
}

std::string SubtitlesFilter(const SubtitleSource& source, std::string_view input, int shownWidth, int height)
{
    std::string path(source.file.empty() ? input : source.file);
    // The long form past MAX_PATH, which the encoder makes again itself where it needs it.
    if (path.starts_with("\\\\?\\UNC\\")) path = "\\\\" + path.substr(8);
    else if (path.starts_with("\\\\?\\")) path = path.substr(4);
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string filter = "subtitles=filename=" + FilterValue(path);
    if (source.file.empty()) filter += ":stream_index=" + std::to_string(source.track);
    if (shownWidth > 0) filter += ":original_size=" + std::to_string(shownWidth) + "x" + std::to_string(height);
    filter += ":fontsdir=" + std::string(kFontFolder);
    if (!source.styled) filter += ":force_style=" + FilterValue("FontName=" + std::string(kFontFamily) + ",Encoding=-1");
    return filter;
}

TextEncoding EncodingOf(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF")) return TextEncoding::Utf8;
    if (bytes.starts_with("\xFF\xFE")) return TextEncoding::Utf16Le;
    if (bytes.starts_with("\xFE\xFF")) return TextEncoding::Utf16Be;
    if (const std::optional<TextEncoding> wide = Utf16WithoutMark(bytes)) return *wide;
    return ValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

std::string Utf8Of(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Ansi) return {};
    if (encoding == TextEncoding::Utf8) return std::string(bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
    const bool big = encoding == TextEncoding::Utf16Be;
    if (bytes.starts_with(big ? "\xFE\xFF" : "\xFF\xFE")) bytes.remove_prefix(2);
    std::string out;
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto hi = static_cast<unsigned char>(bytes[big ? i : i + 1]), lo = static_cast<unsigned char>(bytes[big ? i + 1 : i]);
        return char32_t(hi) << 8 | lo;
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // half a pair
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string UnusableSubtitles(std::string_view text, bool styled)
{
    if (text.find('\0') != std::string_view::npos) return "it is not text";
    const bool timed = styled ? text.find("Dialogue:") != std::string_view::npos : text.find("-->") != std::string_view::npos;
    return timed ? std::string() : "it holds no line with a time";
}

UndrawnText UndrawnOf(const std::vector<std::string>& lines)
{
    UndrawnText undrawn;
    for (const std::string& line : lines) {
        const std::string upper = fw::UpperAscii(line);
        if (upper.find("FAILED TO FIND ANY FALLBACK") == std::string::npos) continue;
        // Glyph 0 is the font itself: a style's font, and every fallback, missing.
        const std::size_t glyph = upper.find("GLYPH 0X");
        const auto c = glyph == std::string::npos ? 0 : static_cast<char32_t>(std::strtoul(line.c_str() + glyph + 8, nullptr, 16));
        if (c == 0) {
            undrawn.noFont = true;
            continue;
        }
        if (std::find(undrawn.characters.begin(), undrawn.characters.end(), c) == undrawn.characters.end())
            undrawn.characters.push_back(c);
    }
    return undrawn;
}

bool SubtitlesRefused(const std::vector<std::string>& lines)
{
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("Parsed_subtitles") != std::string::npos &&
               (line.find("Unable to open") != std::string::npos || line.find("Unable to locate") != std::string::npos ||
                line.find("Failed to") != std::string::npos);
    });
}

std::string SubtitlesBurnedNote(const SubtitleSource& source)
{
    return "Subtitles burned in from " + source.from + ".";
}

std::string SubtitlesSkippedNote(std::string_view from, std::string_view why)
{
    return "The subtitles in " + std::string(from) + " were not burned in: " + std::string(why) + ".";
}

std::string UndrawnNote(const UndrawnText& undrawn)
{
    if (undrawn.noFont) return "No font could draw the subtitles, so they are not in the picture.";
    if (undrawn.characters.empty()) return {};
    constexpr std::size_t kMostShown = 8;
    std::string shown, codes;
    for (std::size_t i = 0; i < undrawn.characters.size() && i < kMostShown; ++i) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(undrawn.characters[i]));
        AppendUtf8(shown += (i ? " " : ""), undrawn.characters[i]);
        codes += (i ? ", " : "") + std::string(code);
    }
    const std::string more = undrawn.characters.size() > kMostShown ? " and more" : "";
    return "No font had these characters of the subtitles, so they are missing from the picture: " + shown + " (" + codes + ")" + more + ".";
}

}  // namespace encode
