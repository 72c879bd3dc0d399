// TFindFile: lists the entries of a folder matching a pattern.
#include "queue/FindFile.h"

#include <windows.h>

#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/handles.h"

namespace {

void EnsureBackslash(std::string& folder)
{
    if (folder.empty() || folder.back() != '\\') folder += '\\';
}

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

}  // namespace

void TFindFile::Execute()
{
    mask_ = queue::AttributeMask(Attributes);
    Files.clear();
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
    EnsureBackslash(folder);
    if (OnNewPath) {
        OnNewPath(this, folder, abort_);
        if (abort_) return;
    }
    WIN32_FIND_DATAW entry{};
    fw::unique_hfind search = FindFirst(folder + Filter, entry);
    if (!search) return;
    do {
        if (queue::PassedOver(entry.dwFileAttributes, mask_) || IsDotEntry(entry.cFileName)) continue;
        Files.push_back(folder + fw::Narrow(entry.cFileName));
    } while (FindNextFileW(search.get(), &entry));
}

void TFindFile::SearchTree(std::string start)
{
    EnsureBackslash(start);
    std::deque<std::string> folders{start};
    while (!folders.empty()) {
        CollectSubfolders(folders, folders.front());
        SearchFolder(folders.front());
        folders.pop_front();
        if (abort_) return;
    }
}

void TFindFile::CollectSubfolders(std::deque<std::string>& folders, std::string folder)
{
    EnsureBackslash(folder);
    WIN32_FIND_DATAW entry{};
    fw::unique_hfind search = FindFirst(folder + "*.*", entry);
    if (!search) return;
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(entry.cFileName))
            folders.push_back(folder + fw::Narrow(entry.cFileName));
    } while (FindNextFileW(search.get(), &entry));
}
