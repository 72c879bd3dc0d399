// What the system says about a path, its code page and its errors: the few questions
// several units ask.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "framework/Unicode.h"
#include "framework/handles.h"
#include "framework/text.h"

namespace fw {

// A path as the wide calls take it past MAX_PATH: made full and plain (no doubled
// backslash, no "." or ".." steps, which the long form does not resolve), then given the
// "\\?\" prefix that Windows documents for long paths. A shorter path stays as it is.
inline std::string ExtendedPath(const std::string& path)
{
    const std::wstring wide = Wide(path);
    if (wide.size() < MAX_PATH || path.rfind("\\\\?\\", 0) == 0) return path;
    std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    if (full.empty()) return path;
    std::wstring plain;
    for (wchar_t c : full)
        if (c != L'\\' || plain.size() < 2 || plain.back() != L'\\') plain += c;
    if (plain.rfind(L"\\\\", 0) == 0) return Narrow(L"\\\\?\\UNC\\" + plain.substr(2));
    return Narrow(L"\\\\?\\" + plain);
}

// An existing file's or folder's path as a program that knows no long paths opens it: its
// short (8.3) form where the whole is longer than MAX_PATH and that form is shorter; else the
// extended form, which the program may or may not take.
inline std::string PathForOldProgram(const std::string& path)
{
    if (Wide(path).size() < MAX_PATH) return path;
    const std::wstring extended = Wide(ExtendedPath(path));
    std::wstring shorter(GetShortPathNameW(extended.c_str(), nullptr, 0), L'\0');
    shorter.resize(GetShortPathNameW(extended.c_str(), shorter.data(), static_cast<DWORD>(shorter.size())));
    if (shorter.rfind(L"\\\\?\\", 0) == 0 && shorter.compare(4, 4, L"UNC\\") != 0) shorter.erase(0, 4);
    return !shorter.empty() && shorter.size() < MAX_PATH ? Narrow(shorter) : ExtendedPath(path);
}

// The wide form of a path for the file calls, long ones in their extended form.
inline std::wstring WidePath(const std::string& path)
{
    return Wide(ExtendedPath(path));
}

// A 64-bit number the system gives in two halves (a size, a file time, a file index).
inline std::uint64_t Join64(DWORD high, DWORD low)
{
    return static_cast<std::uint64_t>(high) << 32 | low;
}

inline bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether a file or a folder is there.
inline bool PathExists(const std::string& path)
{
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool DirectoryExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The active code page's lead-byte test, for the rules that take a fw::LeadBytePredicate.
inline bool IsLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != FALSE;
}

// What a wide call that fills a buffer gives, however long: asked once for the size, then
// for the text (the answer may grow between the two calls; then asked again).
template <typename Call>
std::string WideAnswer(Call call)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
        buffer.assign(n + 1, L'\0');
    }
    return {};
}

// A path made absolute against the current folder, at any length; unchanged when that fails.
inline std::string FullPath(const std::string& path)
{
    const std::wstring wide = Wide(path);
    const std::string full =
        WideAnswer([&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(wide.c_str(), size, buffer, nullptr); });
    return full.empty() ? path : full;
}

// This program's own path.
inline std::string ProgramPath()
{
    return WideAnswer([](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
}

// The long form of a path (no 8.3 parts); unchanged when it cannot be had.
inline std::string LongPath(const std::string& path)
{
    const std::wstring wide = Wide(path);
    const std::string found =
        WideAnswer([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(wide.c_str(), buffer, size); });
    return found.empty() ? path : found;
}

// A path as the file system compares it: full, without doubled backslashes, and long (no
// 8.3 parts) as far as it exists. Unchanged where the system cannot tell.
inline std::string ComparablePath(const std::string& path)
{
    const std::string full = FullPath(path);
    const std::size_t cut = full.find_last_of('\\');
    if (cut == std::string::npos || cut == 0) return LongPath(full);
    return LongPath(full.substr(0, cut)) + full.substr(cut);  // the file itself may not exist yet
}

// Whether two paths name the same file, as the file system compares them: full, long and
// without regard to case.
inline bool SamePath(std::string_view a, std::string_view b)
{
    return SameNameIgnoringCase(ComparablePath(std::string(a)), ComparablePath(std::string(b)));
}

// Waits until no process holds the file any more (Wine reports a process ended a moment
// before it has closed its files). True at once on Windows, and for a missing file.
inline bool WaitUntilReleased(const std::string& path, DWORD timeoutMs = 2000)
{
    const DWORD start = GetTickCount();
    while (true) {
        HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(5);
    }
}

// A date as names give it: "yyyy-mm-dd".
inline std::string DateText(const SYSTEMTIME& time)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", time.wYear, time.wMonth, time.wDay);
    return text;
}

// Today's date on this computer, as DateText writes it.
inline std::string TodayText()
{
    SYSTEMTIME today{};
    GetLocalTime(&today);
    return DateText(today);
}

// A file's modified date in local time, as DateText gives it; empty when it cannot be read.
inline std::string ModifiedDate(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    SYSTEMTIME time{};
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time))
        return {};
    return DateText(time);
}

// Whether a file can be made in the folder: a read-only card or a share without the right
// to write says no.
inline bool CanWriteIn(const std::string& folder)
{
    const std::string probe = WithFinalBackslash(folder) + "~mervane-can-write.tmp";
    HANDLE file = CreateFileW(WidePath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(file);
    return true;
}

// Makes a folder and every missing folder above it; true when it is there.
inline bool MakeFolders(const std::string& folder)
{
    if (folder.empty() || DirectoryExists(folder)) return true;
    const std::size_t cut = folder.find_last_of('\\');
    if (cut != std::string::npos && cut > 2) MakeFolders(folder.substr(0, cut));
    return CreateDirectoryW(WidePath(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// The root of the volume a path is on, with its final backslash ("D:\", "\\server\share\"),
// which the volume calls need (a share's root without it fails); empty when it cannot be told.
inline std::string VolumeRoot(const std::string& path)
{
    wchar_t root[MAX_PATH + 1] = {};
    if (path.empty() || !GetVolumePathNameW(WidePath(path).c_str(), root, MAX_PATH)) return {};
    return WithFinalBackslash(Narrow(root));
}

// A volume as the user knows it: "D:\ (Backup)", or its root alone.
inline std::string VolumeName(const std::string& root)
{
    wchar_t label[MAX_PATH + 1] = {};
    if (GetVolumeInformationW(Wide(root).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) && label[0])
        return root + " (" + Narrow(label) + ")";
    return root;
}

// A whole file's bytes, read while others may write it; none when it cannot be opened or
// read, or is larger than `mostBytes`.
inline std::optional<std::string> ReadWholeFile(const std::string& path, LONGLONG mostBytes)
{
    unique_handle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > mostBytes) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

// A file written anew with these bytes; false, with the system's error, when it could not be.
inline bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    unique_handle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size();
}

// A file's size; none when it cannot be read.
inline std::optional<std::int64_t> FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return static_cast<std::int64_t>(Join64(data.nFileSizeHigh, data.nFileSizeLow));
}

// The bytes free for this user on the volume of that root; none when it cannot be asked.
inline std::optional<std::int64_t> FreeBytes(const std::string& root)
{
    ULARGE_INTEGER free{};
    if (root.empty() || !GetDiskFreeSpaceExW(Wide(root).c_str(), &free, nullptr, nullptr)) return std::nullopt;
    return static_cast<std::int64_t>(free.QuadPart);
}

// The file system of a volume ("NTFS", "FAT32", "exFAT"); empty when it cannot be asked.
inline std::string FileSystemOf(const std::string& root)
{
    wchar_t name[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(Wide(root).c_str(), nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1)) return {};
    return Narrow(name);
}

// Whether a volume is FAT (FAT32, or an older FAT): times to two seconds in local time, and
// no file of 4 GiB or more.
inline bool IsFatVolume(const std::string& root)
{
    const std::string system = FileSystemOf(root);
    return system == "FAT32" || system == "FAT";
}

// The system's own text for an error code, without its line break.
inline std::string SystemErrorText(DWORD code)
{
    char buffer[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                             sizeof buffer, nullptr);
    return Trim(std::string(buffer, n));
}

}  // namespace fw
