// What the batch reads of a running or ended encoder.
#include "convert/EncoderRun.h"

#include <algorithm>
#include <vector>

#include "convert/ConvertLogic.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/handles.h"

namespace convert {

std::vector<std::string> LogTail(const std::string& path)
{
    constexpr LONG kTailBytes = 64 * 1024;
    fw::unique_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    if (size.QuadPart > kTailBytes) SetFilePointer(file.get(), -kTailBytes, nullptr, FILE_END);
    std::string text(static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, kTailBytes)), '\0');
    DWORD got = 0;
    ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    text.resize(got);
    return fw::SplitLines(fw::FromUtf8(text));  // the encoder writes UTF-8
}

std::optional<std::int64_t> MeasureOutput(const std::string& path)
{
    if (!fw::FileExists(path)) return std::nullopt;
    fw::unique_handle file(CreateFileW(fw::WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER end{};
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) return std::nullopt;
    return end.QuadPart;
}

std::string EndedRunFailure(HANDLE process, std::vector<std::string> lines, const std::string& written,
                            const std::string& input, const std::string& output, std::int64_t size)
{
    DWORD exitCode = 1;
    GetExitCodeProcess(process, &exitCode);
    // The encoder names the temporary file; the user knows the output's name.
    const std::string named = fw::ExtendedPath(written);
    for (std::string& line : lines)
        for (std::size_t at = line.find(named); at != std::string::npos; at = line.find(named, at + output.size()))
            line.replace(at, named.size(), output);
    const std::string failure = EncoderFailure(exitCode, lines, size);
    // An encoder that cannot open a path in its long form is told apart by the length.
    const std::string& longest = output.size() > input.size() ? output : input;
    const std::size_t characters = fw::Wide(longest).size();
    if (!failure.empty() && characters >= MAX_PATH) return PathTooLong(longest, characters, MAX_PATH - 1) + " " + failure;
    return failure;
}

}  // namespace convert
