// A disc's folder on the disk.
#include "disc/DiscFolder.h"

#include <windows.h>

#include <algorithm>
#include <functional>

#include "framework/Files.h"
#include "framework/Unicode.h"

namespace disc {

namespace {

// What Explorer adds to a folder of its own accord: a disc's folder may hold them.
constexpr const char* kExplorersOwn[] = {"desktop.ini", "Thumbs.db"};

// Each entry of a folder but "." and "..": its name, whether it is a folder, its size.
void ForEachEntry(const std::string& folder, const std::function<void(const std::string&, bool, std::int64_t)>& each)
{
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(fw::WidePath(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fw::Narrow(found.cFileName);
        if (name != "." && name != "..")
            each(name, found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY,
                 static_cast<std::int64_t>(fw::Join64(found.nFileSizeHigh, found.nFileSizeLow)));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Whether neither a disc's folder nor its image of the name is there.
bool DiscNameFree(const std::string& folder, const std::string& name)
{
    return !fw::PathExists(folder + "\\" + name) && !fw::PathExists(folder + "\\" + name + ".iso");
}

}  // namespace

std::vector<DiscFile> FilesIn(const std::string& folder)
{
    std::vector<DiscFile> files;
    ForEachEntry(folder, [&](const std::string& name, bool isFolder, std::int64_t size) {
        if (!isFolder) files.push_back({name, size});
    });
    return files;
}

std::int64_t BytesIn(const std::string& folder)
{
    std::int64_t bytes = 0;
    for (const DiscFile& file : FilesIn(folder)) bytes += file.size;
    return bytes;
}

bool IsDiscFolder(const std::string& folder)
{
    bool videoTs = false, other = false;
    ForEachEntry(folder, [&](const std::string& name, bool isFolder, std::int64_t) {
        auto named = [&](const char* own) { return fw::SameNameIgnoringCase(name, own); };
        if (isFolder && named("VIDEO_TS")) videoTs = true;
        else if (isFolder ? !named("AUDIO_TS") : std::none_of(std::begin(kExplorersOwn), std::end(kExplorersOwn), named))
            other = true;
    });
    return videoTs && !other;
}

DiscPlace PlaceDisc(const std::string& folder, const std::string& name, encode::IfExists ifExists)
{
    if (DiscNameFree(folder, name)) return {name};
    const bool disc = IsDiscFolder(folder + "\\" + name);  // an image alone may be anybody's
    if (ifExists == encode::IfExists::Skip && disc) return {name, false, true};
    if (ifExists == encode::IfExists::Replace && disc) return {name, true};
    return {FreeDiscName(folder, name)};
}

std::string FreeDiscName(const std::string& folder, const std::string& name)
{
    for (int n = 2;; ++n)
        if (const std::string other = name + " (" + std::to_string(n) + ")"; DiscNameFree(folder, other)) return other;
}

void RemoveDiscFolder(const std::string& folder)
{
    for (const char* sub : {"\\VIDEO_TS", "\\AUDIO_TS"}) {
        for (const DiscFile& file : FilesIn(folder + sub)) {
            const std::string path = folder + sub + "\\" + file.name;
            fw::WaitUntilReleased(path);  // the tool's, just ended
            DeleteFileW(fw::WidePath(path).c_str());
        }
        RemoveDirectoryW(fw::WidePath(folder + sub).c_str());
    }
    for (const char* own : kExplorersOwn) {
        SetFileAttributesW(fw::WidePath(folder + "\\" + own).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(fw::WidePath(folder + "\\" + own).c_str());
    }
    RemoveDirectoryW(fw::WidePath(folder).c_str());
}

}  // namespace disc
