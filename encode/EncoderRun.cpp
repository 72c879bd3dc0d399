// What the batch reads of a running or ended encoder.
#include "encode/EncoderRun.h"

#include <algorithm>
#include <vector>

#include "encode/WorkFiles.h"
#include "encode/EncoderLog.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Unicode.h"
#include "framework/handles.h"

namespace encode {

namespace {

// Up to `bytes` of the log, from its start or from its end.
std::vector<std::string> LogPart(const std::string& path, LONG bytes, bool end)
{
    fw::unique_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    if (end && size.QuadPart > bytes) SetFilePointer(file.get(), -bytes, nullptr, FILE_END);
    std::string text(static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, bytes)), '\0');
    DWORD got = 0;
    ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    text.resize(got);
    return fw::SplitLines(fw::FromUtf8(text));  // the encoder writes UTF-8
}

// Less than this left on a volume is none: the encoder's last write did not fit.
constexpr std::int64_t kNoRoomBytes = 1024 * 1024;

}  // namespace

std::vector<std::string> LogTail(const std::string& path)
{
    return LogPart(path, 64 * 1024, true);
}

std::vector<std::string> LogLinesWith(const std::string& path, std::string_view marker)
{
    std::vector<std::string> lines = LogPart(path, 64 * 1024 * 1024, false);
    std::erase_if(lines, [&](const std::string& line) { return line.find(marker) == std::string::npos; });
    return lines;
}

std::vector<std::string> LogHead(const std::string& path)
{
    return LogPart(path, 16 * 1024, false);
}

std::vector<std::string> LogLines(const std::string& path)
{
    return LogPart(path, 16 * 1024 * 1024, false);
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
    // (An empty name would be found everywhere, and inserted without end.)
    const std::string named = fw::ExtendedPath(written);
    for (std::string& line : lines)
        for (std::size_t at = named.empty() ? std::string::npos : line.find(named); at != std::string::npos;
             at = line.find(named, at + output.size()))
            line.replace(at, named.size(), output);
    const std::string failure = EncoderFailure(exitCode, lines, size);
    if (!failure.empty()) {
        const std::string volume = fw::VolumeRoot(fw::FolderPart(output, fw::IsLeadByte));
        if (const std::optional<std::int64_t> free = fw::FreeBytes(volume); free && *free < kNoRoomBytes)
            return FullDiskFailure(fw::VolumeName(volume));
    }
    // An encoder that cannot open a path in its long form is told apart by the length.
    const std::string& longest = output.size() > input.size() ? output : input;
    const std::size_t characters = fw::Wide(longest).size();
    if (!failure.empty() && characters >= MAX_PATH) return PathTooLong(longest, characters, MAX_PATH - 1) + " " + failure;
    return failure;
}

}  // namespace encode
