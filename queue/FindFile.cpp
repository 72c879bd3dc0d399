// TFindFile: lists the entries of a folder matching a pattern.
#include "queue/FindFile.h"

#include <windows.h>

#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/handles.h"

#include <algorithm>
#include <cstring>

namespace {

// Where a folder's identity cannot be told, a tree is walked this deep at most: a link the
// system does not mark cannot then loop for ever.
constexpr int kDeepestUnknown = 64;

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

// A search's end that is no error: nothing (more) matches.
bool NothingMore(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES;
}

// FILE_ID_INFO, as Windows 8 and later give it (declared here for older headers).
struct FileIdInfo {
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};
constexpr int kFileIdInfoClass = 18;

}  // namespace

void TFindFile::Execute()
{
    mask_ = queue::AttributeMask(Attributes);
    Files.clear();
    Unreadable.clear();
    Links.clear();
    OnlineOnly.clear();
    OnlineBytes = 0;
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

void TFindFile::NameUnreadable(const std::string& folder, unsigned long error)
{
    Unreadable.push_back({folder, fw::WithoutFinalStop(fw::SystemErrorText(error))});
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
        if (const DWORD error = GetLastError(); !NothingMore(error)) NameUnreadable(folder, error);
        return;
    }
    do {
        if (queue::PassedOver(entry.dwFileAttributes, mask_) || IsDotEntry(entry.cFileName)) continue;
        const std::string name = fw::Narrow(entry.cFileName);
        if (!queue::HasFilterExtension(name, Filter)) continue;
        if (queue::OnlineOnly(entry.dwFileAttributes)) {
            OnlineOnly.push_back(Files.size());
            OnlineBytes += static_cast<std::int64_t>(fw::Join64(entry.nFileSizeHigh, entry.nFileSizeLow));
        }
        Files.push_back(folder + name);
    } while (FindNextFileW(search.get(), &entry));
    if (const DWORD error = GetLastError(); !NothingMore(error)) NameUnreadable(folder, error);  // a share that dropped
}

void TFindFile::SearchTree(std::string start)
{
    std::deque<Pending> folders{{fw::WithFinalBackslash(start), 0}};
    while (!folders.empty()) {
        // A folder walked before under another name adds nothing: its files are listed once.
        if (CollectSubfolders(folders, folders.front())) SearchFolder(folders.front().folder);
        folders.pop_front();
        if (abort_) return;
    }
}

bool TFindFile::CollectSubfolders(std::deque<Pending>& folders, const Pending& at)
{
    const std::string folder = fw::WithFinalBackslash(at.folder);
    const Visit visit = FirstVisit(folder);
    if (visit == Visit::Again) return false;
    if (visit == Visit::Unknown && at.depth >= kDeepestUnknown) return true;  // its files, not its subfolders
    WIN32_FIND_DATAW entry{};
    fw::unique_hfind search = FindFirst(folder + "*.*", entry);
    if (!search) return true;  // said by its own search
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(entry.cFileName)) continue;
        const std::string path = folder + fw::Narrow(entry.cFileName);
        // The search gives a reparse point's tag in dwReserved0.
        switch (queue::FolderStepFor(entry.dwFileAttributes, entry.dwReserved0, IsSystemFolder(entry.cFileName))) {
        case queue::FolderStep::Walk: folders.push_back({path, at.depth + 1}); break;
        case queue::FolderStep::Link: Links.push_back(path); break;
        case queue::FolderStep::PassedOver: break;
        }
    } while (FindNextFileW(search.get(), &entry));
    return true;
}

TFindFile::Visit TFindFile::FirstVisit(const std::string& folder)
{
    fw::unique_handle handle(CreateFileW(fw::WidePath(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return Visit::Unknown;
    // The 128-bit id where the system gives it: the 64-bit index is not unique on ReFS and
    // on some shares. A folder whose identity cannot be told (some shares give every folder
    // index 0) is searched by its name: a link there is still passed by its mark.
    Identity identity{};
    FileIdInfo id{};
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandleEx(handle.get(), static_cast<FILE_INFO_BY_HANDLE_CLASS>(kFileIdInfoClass), &id, sizeof id)) {
        identity[0] = id.volumeSerialNumber;
        std::memcpy(&identity[1], id.fileId, sizeof id.fileId);
    } else if (GetFileInformationByHandle(handle.get(), &info)) {
        identity = {info.dwVolumeSerialNumber, fw::Join64(info.nFileIndexHigh, info.nFileIndexLow), 0};
    }
    if (identity[1] == 0 && identity[2] == 0) return Visit::Unknown;
    if (std::find(walked_.begin(), walked_.end(), identity) != walked_.end()) return Visit::Again;
    walked_.push_back(identity);
    return Visit::First;
}
