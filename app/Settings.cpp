// Start-up: the temporary, work and tool folders and the two settings in the registry.
#include "app/Settings.h"

#include <windows.h>
#include <shlobj.h>

#include "app/AppLogic.h"
#include "app/Main.h"
#include "convert/ConvertLogic.h"
#include "framework/Files.h"
#include "framework/Registry.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "framework/handles.h"

namespace {

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

// Makes the last level of a path; a failure is not reported.
void ForceLastLevel(const std::string& path)
{
    if (!fw::DirectoryExists(path)) CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

std::string GetPersonalFolder()
{
    return SpecialFolder(CSIDL_PERSONAL);
}

std::string GetAppDataFolder()
{
    return SpecialFolder(CSIDL_APPDATA);
}

int TfrmMain::EncoderCount() const
{
    std::string setting;
    fw::Guarded([&] {
        fw::TRegistry settings(kSettingsKey);
        if (settings.ValueExists("Encoders")) setting = settings.ReadString("Encoders");
    });
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return convert::EncoderCount(system.dwNumberOfProcessors, setting);
}

void TfrmMain::FixFoldersAndSettings()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    TempDir = fw::Narrow(temp);
    LastFolder.clear();
    WorkDir = app::ProgramFolderUnder(GetPersonalFolder(), fw::IsLeadByte);
    AppDir = app::ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte);

    fw::Guarded([&] {
        fw::TRegistry settings(kSettingsKey);
        if (!settings.ValueExists("WorkDir")) settings.WriteString("WorkDir", WorkDir);
        settings.WriteString("AppDir", AppDir);
    });

    ForceLastLevel(WorkDir);
    ForceLastLevel(AppDir);

    fw::Guarded([&] {
        fw::TRegistry settings(kSettingsKey);
        if (settings.ValueExists("WorkDir")) {
            Edit4->SetText(settings.ReadString("WorkDir"));
            std::string stored = Edit4->Text();
            if (!fw::DirectoryExists(stored)) {
                CreateDirectoryA(stored.c_str(), nullptr);
                settings.WriteString("WorkDir", stored);
            }
        }
    });

    Edit3->SetText(Edit4->Text());
    WorkDir = Edit3->Text();
}
