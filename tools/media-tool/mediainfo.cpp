// The media tool the program runs: MediaInfoLib behind the few options the program and its
// tests pass, answering as MediaInfo's own command line does.
//   mediainfo [--Inform=TEMPLATE] [--Full] [--Language=raw] FILE...    or    mediainfo --Version
// Without a template it writes the full report. Names and answers are UTF-8, one line each.
#include <windows.h>

#include <string>
#include <vector>

#include "MediaInfo/MediaInfo.h"
#include "MediaInfo/MediaInfoList.h"

using MediaInfoLib::MediaInfoList;

namespace {

void Write(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    MediaInfoList media;
    media.Option(L"LineSeparator", L"\r\n");
    std::vector<std::wstring> files;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (StartsWith(argument, L"--Inform="))
            media.Option(L"Inform", argument.substr(9));
        else if (argument == L"--Full" || argument == L"-f")
            media.Option(L"Complete", L"1");
        else if (argument == L"--Version") {
            Write(L"MediaInfo Command line,\r\n" + MediaInfoLib::MediaInfo::Option_Static(L"Info_Version") + L"\r\n");
            return 0;
        } else if (StartsWith(argument, L"--Language="))
            media.Option(L"Language", argument.substr(11));
        else
            files.push_back(argument);
    }
    if (files.empty()) {
        Write(L"Usage: mediainfo [--Inform=TEMPLATE] [--Full] [--Language=raw] FILE...\r\n");
        return 1;
    }
    std::size_t opened = 0;
    for (const std::wstring& file : files) opened += media.Open(file);
    Write(media.Inform() + L"\r\n");
    return opened ? 0 : 1;
}
