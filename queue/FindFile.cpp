// TFindFile: lists the entries of a folder matching a pattern.
#include "queue/FindFile.h"

#include <windows.h>

#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/handles.h"

#include <algorithm>

namespace {

bool IsDotEntry(const wchar_t* name)
{
    return std::wstring_view(name) == L"." || std::wstring_view(name) == L"..";
}

// The wide calls: an entry's name in UTF-8 may need three bytes for each of its up to 260
// characters. A character the code page cannot hold becomes "?", never a look-alike. A
// folder past MAX_PATH is searched in its long form.
fw::unique_hfind FindFirst(const std::string& pattern, WIN32_FIND_DATAW& entry)
{
    return fw::unique_hfind(FindFirstFileW(fw::WidePath(pattern).c_str(), &entry));
}

// The system's own folders, at a drive's top: the recycle bin and restore points.
bool IsSystemFolder(const wchar_t* name)
{
    return lstrcmpiW(name, L"$RECYCLE.BIN") == 0 || lstrcmpiW(name, L"System Volume Information") == 0;
}

}  // namespace

void TFindFile::Execute()
{
    mask_ = queue::AttributeMask(Attributes);
    Files.clear();
    Unreadable.clear();
    walked_.clear();
    FoldersSearched = 0;
    abort_ = false;
    if (BeforeExecute) BeforeExecute(this);
    if (!Directory.empty()) {
        if (Recurse)
            SearchTree(Directory);
        else
            SearchFolder(Directory);
    }
    if (AfterExecute) AfterExecute(this);
}

void TFindFile::SearchFolder(std::string folder)
{
    folder = fw::WithFinalBackslash(folder);
    if (OnNewPath) {
        OnNewPath(this, folder, abort_);
        if (abort_) return;
    }
    ++FoldersSearched;
    WIN32_FIND_DATAW entry{};
    fw::unique_hfind search = FindFirst(folder + Filter, entry);
    if (!search) {
        if (GetLastError() == ERROR_ACCESS_DENIED) Unreadable.push_back(folder);
        return;
    }
    do {
        if (queue::PassedOver(entry.dwFileAttributes, mask_) || IsDotEntry(entry.cFileName)) continue;
        Files.push_back(folder + fw::Narrow(entry.cFileName));
    } while (FindNextFileW(search.get(), &entry));
}

void TFindFile::SearchTree(std::string start)
{
    start = fw::WithFinalBackslash(start);
    std::deque<std::string> folders{start};
    while (!folders.empty()) {
        // A folder walked before under another name adds nothing: its files are listed once.
        if (CollectSubfolders(folders, folders.front())) SearchFolder(folders.front());
        folders.pop_front();
        if (abort_) return;
    }
}

bool TFindFile::CollectSubfolders(std::deque<std::string>& folders, std::string folder)
{
    folder = fw::WithFinalBackslash(folder);
    if (!FirstVisit(folder)) return false;
    WIN32_FIND_DATAW entry{};
    fw::unique_hfind search = FindFirst(folder + "*.*", entry);
    if (!search) return true;
    do {
        const DWORD attributes = entry.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            !IsDotEntry(entry.cFileName) && !IsSystemFolder(entry.cFileName))
            folders.push_back(folder + fw::Narrow(entry.cFileName));
    } while (FindNextFileW(search.get(), &entry));
    return true;
}

bool TFindFile::FirstVisit(const std::string& folder)
{
    fw::unique_handle handle(CreateFileW(fw::WidePath(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    // A folder whose identity cannot be told (some shares give every folder index 0) is
    // searched by its name: a link there is still passed by its mark.
    if (!handle || !GetFileInformationByHandle(handle.get(), &info) || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0))
        return true;
    const auto identity = std::make_tuple(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    if (std::find(walked_.begin(), walked_.end(), identity) != walked_.end()) return false;
    walked_.push_back(identity);
    return true;
}
