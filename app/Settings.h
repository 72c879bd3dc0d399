// TSettings: every value the program keeps in the registry, under HKEY_CURRENT_USER
// \Software\Talvik, typed, each with its name, its default and its rule for a bad value.
// They are read once, at start, and each is written when the user changes it. The user's
// special folders are here too, as the output folder's default comes from them.
#pragma once
#include <optional>
#include <string>

#include "convert/FitLogic.h"
#include "convert/OutputNames.h"
#include "convert/Subtitles.h"
#include "convert/TargetLogic.h"

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
    // Encoders: how many encoders run at once, "1" to "16"; anything else, or nothing, is the
    // machine's share (one for each two processors, two to four).
    int Encoders() const;
    // The number set, or 0 for the machine's share ("Automatic").
    int EncodersSet() const;
    void SetEncoders(int set);
    // Target: "mpeg" (the default), "vcd-pal", "vcd-ntsc", "dvd-pal" or "dvd-ntsc".
    convert::Target Target() const { return target_; }
    void SetTarget(convert::Target target);
    // Quality: "standard" (the default) or "high".
    convert::Quality Quality() const { return quality_; }
    void SetQuality(convert::Quality quality);
    // FitTo: "none" (the default), "cd", "dvd", "dvd-dl" or a number of megabytes.
    const convert::FitTo& FitTo() const { return fitTo_; }
    void SetFitTo(const convert::FitTo& fit);
    // Subfolders (a DWORD): 1 when a folder added brings the MP4 files of its whole tree,
    // whose outputs keep their subfolders under the output folder; 0, the default, or any
    // other value: the folder's own files.
    bool Subfolders() const { return subfolders_; }
    void SetSubfolders(bool on);
    // OutputName: the pattern an output's name is made from, "{name}" by default.
    const std::string& OutputName() const { return outputName_; }
    void SetOutputName(const std::string& pattern);
    // OutputTo: "folder" (the default), the output folder, or "beside", each output next to its input.
    bool BesideInput() const { return besideInput_; }
    void SetBesideInput(bool beside);
    // IfExists: "replace" (the default), "keep" or "skip".
    convert::IfExists IfExists() const { return ifExists_; }
    void SetIfExists(convert::IfExists choice);
    // Subtitles: "auto" (the default), burned in from a file beside the video or its own
    // marked track, or "off".
    bool Subtitles() const { return subtitles_; }
    void SetSubtitles(bool on);

private:
    std::optional<std::string> outputFolder_;
    std::string encoders_;
    convert::Target target_ = convert::Target::Mpeg;
    convert::IfExists ifExists_ = convert::IfExists::Replace;
    convert::Quality quality_ = convert::Quality::Standard;
    convert::FitTo fitTo_;
    bool subfolders_ = false;
    std::string outputName_{convert::kDefaultOutputName};
    bool besideInput_ = false;
    bool subtitles_ = true;
};
