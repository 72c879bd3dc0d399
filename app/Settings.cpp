// TSettings: the program's values in the registry, and the user's special folders.
#include "app/Settings.h"

#include <windows.h>
#include <shlobj.h>

#include "batch/OutputFiles.h"
#include "encode/Subtitles.h"
#include "framework/Files.h"
#include "framework/Registry.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "framework/handles.h"

namespace {

constexpr const char* kOutputFolder = "WorkDir";
constexpr const char* kToolFolder = "AppDir";
constexpr const char* kExplorerVerb = "ExplorerVerb";

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

// The number of encoders as kept: empty for the machine's share.
std::string EncodersText(const batch::Choices& c)
{
    return c.encoders ? std::to_string(c.encoders) : std::string();
}

// One row for each of the user's choices: its value's name, its text as kept, and how a
// kept text reads back (a bad one as the default). A DWORD value is kept as its number.
struct ChoiceRow {
    const char* name;
    std::string (*text)(const batch::Choices&);
    void (*read)(const std::string& text, batch::Choices&);
    bool dword = false;
};

const ChoiceRow kChoiceRows[] = {
    {"Target", [](const batch::Choices& c) { return std::string(encode::TargetSetting(c.target)); },
     [](const std::string& text, batch::Choices& c) { c.target = encode::TargetFromSetting(text); }},
    {"Quality", [](const batch::Choices& c) { return std::string(encode::QualitySetting(c.quality)); },
     [](const std::string& text, batch::Choices& c) { c.quality = encode::QualityFromSetting(text); }},
    {"FitTo", [](const batch::Choices& c) { return encode::FitSetting(c.fitTo); },
     [](const std::string& text, batch::Choices& c) { c.fitTo = encode::FitToFromSetting(text); }},
    {"IfExists", [](const batch::Choices& c) { return std::string(encode::IfExistsSetting(c.ifExists)); },
     [](const std::string& text, batch::Choices& c) { c.ifExists = encode::IfExistsFromSetting(text); }},
    {"OutputName", [](const batch::Choices& c) { return c.outputName; },
     [](const std::string& text, batch::Choices& c) {
         if (!fw::Trim(text).empty()) c.outputName = fw::Trim(text);
     }},
    {"OutputTo", [](const batch::Choices& c) { return std::string(c.besideInput ? "beside" : "folder"); },
     [](const std::string& text, batch::Choices& c) { c.besideInput = text == "beside"; }},
    {"Subfolders", [](const batch::Choices& c) { return std::string(c.subfolders ? "1" : "0"); },
     [](const std::string& text, batch::Choices& c) { c.subfolders = text == "1"; }, true},
    {"Subtitles", [](const batch::Choices& c) { return std::string(encode::SubtitlesSetting(c.subtitles)); },
     [](const std::string& text, batch::Choices& c) { c.subtitles = encode::SubtitlesFromSetting(text); }},
    {"Disc", [](const batch::Choices& c) { return std::string(disc::DiscSetting(c.disc)); },
     [](const std::string& text, batch::Choices& c) { c.disc = disc::DiscFromSetting(text); }},
    {"DiscMenu", [](const batch::Choices& c) { return std::string(disc::DiscMenuSetting(c.discMenu)); },
     [](const std::string& text, batch::Choices& c) { c.discMenu = disc::DiscMenuFromSetting(text); }},
    {"Join", [](const batch::Choices& c) { return std::string(c.join ? "on" : "off"); },
     [](const std::string& text, batch::Choices& c) { c.join = text == "on"; }},
    {"DiscName", [](const batch::Choices& c) { return c.discName; },
     [](const std::string& text, batch::Choices& c) { c.discName = fw::Trim(text); }},
    {"Loudness", [](const batch::Choices& c) { return std::string(encode::LoudnessSetting(c.loudness)); },
     [](const std::string& text, batch::Choices& c) { c.loudness = encode::LoudnessFromSetting(text); }},
    {"Fill", [](const batch::Choices& c) { return std::string(encode::FillSetting(c.fill)); },
     [](const std::string& text, batch::Choices& c) { c.fill = encode::FillFromSetting(text); }},
    {"Encoders", &EncodersText,
     [](const std::string& text, batch::Choices& c) { c.encoders = batch::EncodersChosen(text); }},
};

}  // namespace

TSettings TSettings::Read()
{
    TSettings settings;
    fw::Guarded([&] {
        const fw::TRegistry key(kSettingsKey);
        settings.outputFolder_ = ReadText(key, kOutputFolder);
        fw::Guarded([&] { settings.explorerVerb_ = key.ValueExists(kExplorerVerb) && key.ReadInteger(kExplorerVerb) == 1; });
        for (const ChoiceRow& row : kChoiceRows) {
            std::optional<std::string> text;
            if (row.dword) fw::Guarded([&] { if (key.ValueExists(row.name)) text = std::to_string(key.ReadInteger(row.name)); });
            else text = ReadText(key, row.name);
            row.read(text.value_or(""), settings.choices_);
        }
    });
    return settings;
}

void TSettings::SetOutputFolder(const std::string& folder)
{
    outputFolder_ = folder;
    Write(kOutputFolder, folder);
}

void TSettings::SetExplorerVerb(bool shown)
{
    explorerVerb_ = shown;
    fw::Guarded([&] { fw::TRegistry(kSettingsKey).WriteInteger(kExplorerVerb, shown ? 1 : 0); });
}

void TSettings::SetToolFolder(const std::string& folder)
{
    Write(kToolFolder, folder);
}

void TSettings::Choose(batch::Choices choices)
{
    choices.outputName = fw::Trim(choices.outputName);
    if (choices.outputName.empty()) choices.outputName = batch::kDefaultOutputName;
    for (const ChoiceRow& row : kChoiceRows) {
        const std::string text = row.text(choices);
        if (text == row.text(choices_)) continue;
        if (row.dword) fw::Guarded([&] { fw::TRegistry(kSettingsKey).WriteInteger(row.name, fw::StrToInt(text)); });
        else Write(row.name, text);
    }
    choices_ = std::move(choices);
}

int TSettings::Encoders() const
{
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return batch::EncoderCount(system.dwNumberOfProcessors, choices_.encoders);
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
