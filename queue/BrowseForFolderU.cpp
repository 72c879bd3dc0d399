// BrowseForFolder: the shell's folder browser.
#include "queue/BrowseForFolderU.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/Application.h"
#include "framework/handles.h"

namespace {

std::string initialFolderForCallback;

int CALLBACK SelectInitialFolder(HWND browser, UINT msg, LPARAM, LPARAM) noexcept
{
    if (msg == BFFM_INITIALIZED)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(initialFolderForCallback.c_str()));
    return 0;
}

}  // namespace

std::string BrowseForFolder(const std::string& prompt, const std::string& initialFolder, bool allowNewFolder)
{
    initialFolderForCallback = initialFolder;
    char displayName[MAX_PATH + 1] = {};
    BROWSEINFOA info{};
    info.hwndOwner = fw::Application->Handle();
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | (allowNewFolder ? 0 : BIF_NONEWFOLDERBUTTON);
    if (!initialFolder.empty()) info.lpfn = &SelectInitialFolder;

    fw::unique_pidl chosen(SHBrowseForFolderA(&info));
    if (!chosen) return {};
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(chosen.get(), path)) return {};
    return path;
}
