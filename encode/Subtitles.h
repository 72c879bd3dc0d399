// Subtitles burned into the picture: which text a row draws, how the encoder is told, how a
// file's text is read, and what the row's note says of it.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encode/TargetLogic.h"

namespace encode {

// Subtitles: "auto" (the default: a file beside the video, else its own marked track) or "off".
bool SubtitlesFromSetting(std::string_view setting);
const char* SubtitlesSetting(bool on);

// The subtitle files a row may burn in, by their extension.
inline constexpr std::array<std::string_view, 3> kSubtitleExtensions{".srt", ".ass", ".ssa"};

// The file burned into `inputName` ("clip.mp4"), among the names of the files in its folder:
// the same name with .srt, .ass or .ssa, or with a language before that ("clip.de.srt",
// "clip.eng.srt"). One in the user's `languages` ("de", "deu", "ger") comes first, then the
// plain name, then the first by name. None when no name fits.
std::optional<std::string> SidecarFor(std::string_view inputName, const std::vector<std::string>& names,
                                      const std::vector<std::string>& languages);
// The names a language is written with beside an ISO 639-1 and 639-2 code, the bibliographic
// form ("ger") included where it differs.
std::vector<std::string> LanguageNames(std::string_view twoLetters, std::string_view threeLetters);

// The input's own text track burned in where no file is beside it: the first marked forced,
// else the first marked default; never a track that is only there. -1: none.
int TextTrackFor(const InputFacts& facts);

// What the encoder draws on a row's picture.
struct SubtitleSource {
    std::string file{};  // the UTF-8 copy of a file beside the input; empty: the input's track
    int track = -1;      // the input's text track, among its text tracks
    bool styled = false;  // .ass or .ssa: its styles, positions and fonts are kept
    std::string from{};  // what the notes name: "clip.de.srt", "the video's own subtitle track"
};

// The carried font's folder, relative to the encoder's working folder (its own), and its family.
inline constexpr std::string_view kFontFolder = "fonts";
inline constexpr std::string_view kFontFamily = "DejaVu Sans";

// A value of a filter's option, escaped for the option and again for the filter graph, so
// that a path's ':' '\' ''' ',' '[' ']' and ';' reach the filter as they are.
std::string FilterValue(std::string_view value);

// The subtitles filter, drawn on the output picture (after any scaling) of `input`. A picture
// shown wider or narrower than it is stored (`shownWidth`, 0 for square pixels) gets its
// letters drawn so that they are round once shown. A plain text's default style is the
// carried font, its lines' direction taken from their script.
std::string SubtitlesFilter(const SubtitleSource& source, std::string_view input, int shownWidth, int height);

// How a subtitle file's bytes are written: UTF-8 (with or without its byte-order mark),
// UTF-16 (little or big end first) or, for any other bytes, the system's ANSI code page.
enum class TextEncoding { Utf8, Utf16Le, Utf16Be, Ansi };
TextEncoding EncodingOf(std::string_view bytes);
// The text without its byte-order mark: UTF-8 as it is, UTF-16 converted; empty for ANSI.
std::string Utf8Of(std::string_view bytes, TextEncoding encoding);
// Why a subtitle text (UTF-8) cannot be drawn, as the note ends it ("it is not text"); empty
// when it can.
std::string UnusableSubtitles(std::string_view text, bool styled);

// What the encoder's log says that no font could draw: each character once, in the order met.
struct UndrawnText {
    std::vector<char32_t> characters{};
    bool noFont = false;  // a style's font and every fallback were missing: nothing was drawn
};
UndrawnText UndrawnOf(const std::vector<std::string>& encoderLines);
// Whether the encoder refused the subtitles (it could not open or read them).
bool SubtitlesRefused(const std::vector<std::string>& encoderLines);

// What a click on "Done" says of the subtitles: where they came from, or why they were not
// drawn, and the characters no font had.
std::string SubtitlesBurnedNote(const SubtitleSource& source);
std::string SubtitlesSkippedNote(std::string_view from, std::string_view why);
std::string UndrawnNote(const UndrawnText& undrawn);

}  // namespace encode
