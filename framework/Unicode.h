// The one conversion between the program's 8-bit text (the process code page: UTF-8 where
// the manifest is honoured) and the system's UTF-16, for the calls that need the wide form.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "framework/text.h"

namespace fw {

inline std::wstring Wide(std::string_view text)
{
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// The 8-bit form of a wide text in the program's code page (or another one). Where the code
// page cannot hold a character it becomes "?", never a look-alike (best fit would turn "｜"
// into "|" and name another file), and `lost` says so.
inline std::string Narrow(std::wstring_view text, bool* lost = nullptr, UINT codePage = CP_ACP)
{
    if (lost) *lost = false;
    if (text.empty()) return {};
    // UTF-8 holds every character and takes neither the flag nor the question.
    const bool utf8 = codePage == CP_UTF8 || (codePage == CP_ACP && GetACP() == CP_UTF8);
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* askDefault = utf8 ? nullptr : &usedDefault;
    const int size = static_cast<int>(text.size());
    std::string narrow(
        static_cast<std::size_t>(WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), static_cast<int>(narrow.size()), nullptr,
                        askDefault);
    if (lost) *lost = usedDefault != FALSE;
    return narrow;
}

// Text that another program wrote in UTF-8 (the encoder's messages), in the program's form.
// The marks for the program's texts in the code page it runs with.
inline TextMarks SystemMarks()
{
    return MarksFor(GetACP() == CP_UTF8);
}

inline std::string FromUtf8(std::string_view text)
{
    if (text.empty() || GetACP() == CP_UTF8) return std::string(text);
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return Narrow(wide);
}

// Names compared as the file system compares them: without regard to case, on their UTF-16
// form (upper-casing UTF-8 bytes in place may change a string's length).
// A name as the file system tells names apart: each letter in its upper case, as an ordinal
// comparison that ignores case sees it. Two names are the same where these are equal.
inline std::string CaseFoldedName(std::string_view name)
{
    // Most names are plain ASCII, whose letters fold alone; the others go through the system.
    std::string folded(name);
    bool ascii = true;
    for (char& c : folded) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (ascii) return folded;
    std::wstring wide = Wide(name);
    if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return Narrow(wide);
}

inline bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    const std::wstring wa = Wide(a), wb = Wide(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace fw
