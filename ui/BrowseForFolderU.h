// BrowseForFolder: the shell's folder browser, opened at an initial folder.
#pragma once
#include <windows.h>

#include <string>

// The chosen folder as the browser returns it (no final backslash except at a drive
// root), or an empty text when the user cancels or the item has no file-system path. The
// owner is disabled while the browser is open and is the window activated after it.
std::string BrowseForFolder(HWND owner, const std::string& prompt, const std::string& initialFolder, bool allowNewFolder);
