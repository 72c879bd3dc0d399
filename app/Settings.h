// TSettings: every value the program keeps in the registry, under HKEY_CURRENT_USER
// \Software\Talvik, typed, each with its name, its default and its rule for a bad value.
// They are read once, at start, and each is written when the user changes it. The user's
// special folders are here too, as the output folder's default comes from them.
#pragma once
#include <optional>
#include <string>

#include "batch/Choices.h"

inline constexpr const char* kSettingsKey = "\\Software\\Talvik";

std::string GetPersonalFolder();
std::string GetAppDataFolder();
std::string GetLocalAppDataFolder();
// Makes the last level of a path; a failure is not reported.
void ForceLastLevel(const std::string& path);

class TSettings {
public:
    // Reads every value. One that is missing, not a string, or out of range reads as its
    // default; a key that cannot be opened reads as all defaults.
    static TSettings Read();

    // WorkDir: the output folder, as "Browse" chose it; none stored at a first start.
    const std::optional<std::string>& OutputFolder() const { return outputFolder_; }
    void SetOutputFolder(const std::string& folder);
    // AppDir: the tool folder of the latest start, written at every start and read by no one
    // here: other programs may look for the tools there.
    void SetToolFolder(const std::string& folder);

    // The user's choices, each kept in a value of its own:
    //   Target      "mpeg" (the default), "vcd-pal", "vcd-ntsc", "dvd-pal" or "dvd-ntsc"
    //   Quality     "standard" (the default) or "high"
    //   FitTo       "none" (the default), "cd", "dvd", "dvd-dl" or a number of megabytes
    //   IfExists    "replace" (the default), "keep" or "skip"
    //   OutputName  the pattern of an output's name, "{name}" by default
    //   OutputTo    "folder" (the default) or "beside"
    //   Subfolders  a DWORD, 1 for a folder's whole tree, whose outputs keep its subfolders
    //               under the output folder; 0, the default, or any other: its own files
    //   Subtitles   "auto" (the default) or "off"
    //   Encoders    "1" to "16"; anything else, or nothing, is the machine's share
    const batch::Choices& Choices() const { return choices_; }
    // Takes the choices, writing the value of each that changed. A blank name pattern is the default.
    void Choose(batch::Choices choices);
    // Choices for this run only (the command line's options): nothing is written.
    void ChooseForThisRun(batch::Choices choices) { choices_ = std::move(choices); }
    // How many encoders run at once: the number chosen, or one for each two processors, two to four.
    int Encoders() const;

    // ExplorerVerb: a DWORD, 1 while "Convert with Mervane" shows in Explorer; 0, the default,
    // or any other.
    bool ExplorerVerb() const { return explorerVerb_; }
    void SetExplorerVerb(bool shown);

private:
    std::optional<std::string> outputFolder_;
    batch::Choices choices_;
    bool explorerVerb_ = false;
};
