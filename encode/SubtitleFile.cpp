#include "encode/SubtitleFile.h"

#include <windows.h>

#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/handles.h"

namespace encode {

namespace {

// More than any subtitle file takes: a larger one is not one.
constexpr LONGLONG kMostSubtitleBytes = 32 * 1024 * 1024;

bool WriteWhole(const std::string& path, std::string_view bytes)
{
    fw::unique_handle file(CreateFileW(fw::WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_TEMPORARY, nullptr));
    DWORD wrote = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
           wrote == bytes.size();
}

// The names of the files in `folder` that begin with `stem`.
std::vector<std::string> NamesBeginningWith(const std::string& folder, std::string_view stem)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(fw::WidePath(folder + std::string(stem) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fw::Narrow(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string LocaleText(LCID locale, LCTYPE type)
{
    wchar_t text[16]{};
    return GetLocaleInfoW(locale, type, text, 16) ? fw::Narrow(text) : std::string();
}

}  // namespace

std::vector<std::string> DisplayLanguageNames()
{
    const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    return LanguageNames(LocaleText(locale, LOCALE_SISO639LANGNAME), LocaleText(locale, LOCALE_SISO639LANGNAME2));
}

unsigned SystemAnsiCodePage()
{
    DWORD codePage = 0;
    GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                   reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t));
    return codePage && codePage != CP_UTF8 ? codePage : 1252;
}

std::string TextAsUtf8(std::string_view bytes, unsigned ansiCodePage)
{
    const TextEncoding encoding = EncodingOf(bytes);
    if (encoding != TextEncoding::Ansi) return Utf8Of(bytes, encoding);
    const int size = static_cast<int>(bytes.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(ansiCodePage, 0, bytes.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(ansiCodePage, 0, bytes.data(), size, wide.data(), static_cast<int>(wide.size()));
    return fw::Narrow(wide, nullptr, CP_UTF8);
}

SidecarSubtitles PrepareSidecar(const std::string& input, const std::string& copy)
{
    const std::size_t slash = input.find_last_of("\\/");
    const std::string folder = input.substr(0, slash + 1), name = input.substr(slash + 1);
    const std::optional<std::string> chosen =
        SidecarFor(name, NamesBeginningWith(folder, name.substr(0, name.rfind('.'))), DisplayLanguageNames());
    if (!chosen) return {};
    const std::optional<std::string> bytes = fw::ReadWholeFile(folder + *chosen, kMostSubtitleBytes);
    if (!bytes) {
        const std::optional<std::int64_t> size = fw::FileSize(folder + *chosen);
        return {std::nullopt, SubtitlesSkippedNote(*chosen, size && *size > kMostSubtitleBytes ? "it is too large to be subtitles"
                                                                                               : "it could not be read")};
    }
    const std::string extension = chosen->substr(chosen->rfind('.'));
    const bool styled = !fw::SameNameIgnoringCase(extension, ".srt");
    const std::string text = TextAsUtf8(*bytes, SystemAnsiCodePage());
    if (const std::string why = UnusableSubtitles(text, styled); !why.empty()) return {std::nullopt, SubtitlesSkippedNote(*chosen, why)};
    if (!WriteWhole(copy + extension, text)) return {std::nullopt, SubtitlesSkippedNote(*chosen, "no copy could be made for the encoder")};
    return {SubtitleSource{copy + extension, -1, styled, *chosen}, {}};
}

}  // namespace encode
