// "Convert with Mervane" on MP4 files and folders in Explorer, for the current user only:
// a verb under HKEY_CURRENT_USER\Software\Classes whose command is this program with the item
// ("%1"). Explorer starts one copy for each item selected (up to 100, as a player's verb), and
// the one-copy rule gathers them into one burst in the copy that runs.
#pragma once
#include <string>

namespace app {

// The keys the verb lives under, each with its "shell\Mervane.Convert" below it.
inline constexpr const char* kVerbParents[] = {"Software\\Classes\\SystemFileAssociations\\.mp4",
                                               "Software\\Classes\\Directory"};
inline constexpr const char* kVerbName = "Mervane.Convert";
inline constexpr const char* kVerbText = "Convert with Mervane";

// Writes the verb for the program at `exePath` (again, where it moved); false when a key
// could not be written.
bool WriteExplorerVerb(const std::string& exePath);
// Removes the verb's keys and nothing else.
void RemoveExplorerVerb();

}  // namespace app
