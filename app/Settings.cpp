// TSettings: the program's values in the registry, and the user's special folders.
#include "app/Settings.h"

#include <windows.h>
#include <shlobj.h>

#include "convert/ConvertLogic.h"
#include "framework/Files.h"
#include "framework/Registry.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "framework/handles.h"

namespace {

constexpr const char* kOutputFolder = "WorkDir";
constexpr const char* kToolFolder = "AppDir";
constexpr const char* kEncoders = "Encoders";
constexpr const char* kTarget = "Target";
constexpr const char* kIfExists = "IfExists";
constexpr const char* kQuality = "Quality";
constexpr const char* kFitTo = "FitTo";
constexpr const char* kSubfolders = "Subfolders";
constexpr const char* kOutputName = "OutputName";
constexpr const char* kOutputTo = "OutputTo";
constexpr const char* kSubtitles = "Subtitles";

// Folder paths come back through the wide calls: in UTF-8 a name of MAX_PATH characters
// may need three times as many bytes.
std::string SpecialFolder(int folderId)
{
    wchar_t buffer[MAX_PATH] = {};
    fw::unique_pidl items;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, folderId, items.put())) && items)
        SHGetPathFromIDListW(items.get(), buffer);
    return fw::Narrow(buffer);
}

// A string value; none when it is missing, of another type or cannot be read.
std::optional<std::string> ReadText(const fw::TRegistry& key, const char* name)
{
    std::optional<std::string> text;
    fw::Guarded([&] {
        if (key.ValueExists(name)) text = key.ReadString(name);
    });
    return text;
}

// A changed value is kept for the next start; a failure to keep it is not reported.
void Write(const char* name, const std::string& value)
{
    fw::Guarded([&] { fw::TRegistry(kSettingsKey).WriteString(name, value); });
}

}  // namespace

TSettings TSettings::Read()
{
    TSettings settings;
    fw::Guarded([&] {
        const fw::TRegistry key(kSettingsKey);
        settings.outputFolder_ = ReadText(key, kOutputFolder);
        settings.encoders_ = ReadText(key, kEncoders).value_or("");
        settings.target_ = convert::TargetFromSetting(ReadText(key, kTarget).value_or(""));
        settings.ifExists_ = convert::IfExistsFromSetting(ReadText(key, kIfExists).value_or(""));
        settings.quality_ = convert::QualityFromSetting(ReadText(key, kQuality).value_or(""));
        settings.fitTo_ = convert::FitToFromSetting(ReadText(key, kFitTo).value_or(""));
        fw::Guarded([&] { settings.subfolders_ = key.ValueExists(kSubfolders) && key.ReadInteger(kSubfolders) == 1; });
        const std::string pattern = fw::Trim(ReadText(key, kOutputName).value_or(""));
        if (!pattern.empty()) settings.outputName_ = pattern;
        settings.besideInput_ = ReadText(key, kOutputTo) == "beside";
        settings.subtitles_ = convert::SubtitlesFromSetting(ReadText(key, kSubtitles).value_or(""));
    });
    return settings;
}

void TSettings::SetOutputFolder(const std::string& folder)
{
    outputFolder_ = folder;
    Write(kOutputFolder, folder);
}

void TSettings::SetToolFolder(const std::string& folder)
{
    Write(kToolFolder, folder);
}

int TSettings::Encoders() const
{
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return convert::EncoderCount(system.dwNumberOfProcessors, encoders_);
}

int TSettings::EncodersSet() const
{
    int set = 0;
    fw::Guarded([&] { set = fw::StrToInt(fw::Trim(encoders_)); });
    return set >= 1 && set <= convert::kMostEncoders ? set : 0;
}

void TSettings::SetEncoders(int set)
{
    encoders_ = set >= 1 && set <= convert::kMostEncoders ? std::to_string(set) : "";
    Write(kEncoders, encoders_);
}

void TSettings::SetTarget(convert::Target target)
{
    target_ = target;
    Write(kTarget, convert::TargetSetting(target));
}

void TSettings::SetIfExists(convert::IfExists choice)
{
    ifExists_ = choice;
    Write(kIfExists, convert::IfExistsSetting(choice));
}

void TSettings::SetQuality(convert::Quality quality)
{
    quality_ = quality;
    Write(kQuality, convert::QualitySetting(quality));
}

void TSettings::SetFitTo(const convert::FitTo& fit)
{
    fitTo_ = fit;
    Write(kFitTo, fit.setting);
}

void TSettings::SetSubtitles(bool on)
{
    subtitles_ = on;
    Write(kSubtitles, convert::SubtitlesSetting(on));
}

void TSettings::SetSubfolders(bool on)
{
    subfolders_ = on;
    fw::Guarded([&] { fw::TRegistry(kSettingsKey).WriteInteger(kSubfolders, on ? 1 : 0); });
}

void TSettings::SetOutputName(const std::string& pattern)
{
    const std::string trimmed = fw::Trim(pattern);
    outputName_ = trimmed.empty() ? std::string(convert::kDefaultOutputName) : trimmed;
    Write(kOutputName, outputName_);
}

void TSettings::SetBesideInput(bool beside)
{
    besideInput_ = beside;
    Write(kOutputTo, beside ? "beside" : "folder");
}

void ForceLastLevel(const std::string& path)
{
    if (!fw::DirectoryExists(path)) CreateDirectoryA(path.c_str(), nullptr);
}

std::string GetPersonalFolder()
{
    return SpecialFolder(CSIDL_PERSONAL);
}

std::string GetAppDataFolder()
{
    return SpecialFolder(CSIDL_APPDATA);
}

std::string GetLocalAppDataFolder()
{
    return SpecialFolder(CSIDL_LOCAL_APPDATA);
}
