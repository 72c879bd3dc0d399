// BrowseForFolder: the shell's folder browser.
#include "ui/BrowseForFolderU.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/LoadedFunction.h"
#include "framework/Unicode.h"
#include "framework/handles.h"

namespace {

int CALLBACK SelectInitialFolder(HWND browser, UINT msg, LPARAM, LPARAM initialFolder) noexcept
{
    if (msg == BFFM_INITIALIZED) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, initialFolder);
    return 0;
}

}  // namespace

std::string BrowseForFolder(HWND owner, const std::string& prompt, const std::string& initialFolder, bool allowNewFolder)
{
    // Its new dialog style needs OLE; started here, at the first use, and not before the
    // window shows (a second call only counts).
    fw::StartOle();
    // Wide calls: a chosen path in any script comes back whole, however long in UTF-8.
    const std::wstring title = fw::Wide(prompt);
    const std::wstring initial = fw::Wide(initialFolder);
    wchar_t displayName[MAX_PATH + 1] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;  // disabled while the browser is open, and active again after it
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | (allowNewFolder ? 0 : BIF_NONEWFOLDERBUTTON);
    if (!initialFolder.empty()) {
        info.lpfn = &SelectInitialFolder;
        info.lParam = reinterpret_cast<LPARAM>(initial.c_str());
    }

    fw::unique_pidl chosen(SHBrowseForFolderW(&info));
    if (!chosen) return {};
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path)) return {};
    return fw::Narrow(path);
}
