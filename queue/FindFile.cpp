// TFindFile: lists the entries of a folder matching a pattern.
#include "queue/FindFile.h"

#include <windows.h>

#include "framework/handles.h"

namespace {

void EnsureBackslash(std::string& folder)
{
    if (folder.empty() || folder.back() != '\\') folder += '\\';
}

bool IsDotEntry(const char* name)
{
    return std::string(name) == "." || std::string(name) == "..";
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
    WIN32_FIND_DATAA entry{};
    fw::unique_hfind search(FindFirstFileA((folder + Filter).c_str(), &entry));
    if (!search) return;
    do {
        if (queue::PassedOver(entry.dwFileAttributes, mask_) || IsDotEntry(entry.cFileName)) continue;
        Files.push_back(folder + entry.cFileName);
    } while (FindNextFileA(search.get(), &entry));
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
    WIN32_FIND_DATAA entry{};
    fw::unique_hfind search(FindFirstFileA((folder + "*.*").c_str(), &entry));
    if (!search) return;
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(entry.cFileName))
            folders.push_back(folder + entry.cFileName);
    } while (FindNextFileA(search.get(), &entry));
}
