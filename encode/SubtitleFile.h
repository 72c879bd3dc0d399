// A row's subtitle file, found beside its input and copied as UTF-8 for the encoder.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "encode/Subtitles.h"

namespace encode {

// The names a subtitle file in the user's Windows display language is written with.
std::vector<std::string> DisplayLanguageNames();
// The ANSI code page of the system's locale: a text that is neither UTF-8 nor UTF-16 is read
// in it (the program's own code page is UTF-8).
unsigned SystemAnsiCodePage();
// A subtitle file's bytes as UTF-8, read as EncodingOf says, ANSI in `ansiCodePage`.
std::string TextAsUtf8(std::string_view bytes, unsigned ansiCodePage);

// What a row draws from a file beside its input: the source, or why the file was not used.
struct SidecarSubtitles {
    std::optional<SubtitleSource> source{};
    std::string skippedNote{};
};
// Finds the file beside `input` that SidecarFor chooses and writes its UTF-8 copy at `copy`
// (with the file's own extension added). Nothing where there is none.
SidecarSubtitles PrepareSidecar(const std::string& input, const std::string& copy);

}  // namespace encode
