// BrowseForFolder: the shell's folder browser, opened at an initial folder.
#pragma once
#include <string>

// The chosen folder as the browser returns it (no final backslash except at a drive
// root), or an empty text when the user cancels or the item has no file-system path.
std::string BrowseForFolder(const std::string& prompt, const std::string& initialFolder, bool allowNewFolder);
