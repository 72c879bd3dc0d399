// Start-up: the temporary, work and tool folders and the two settings in the registry.
#include "app/Settings.h"

#include <windows.h>
#include <shlobj.h>

#include "app/AppLogic.h"
#include "app/Main.h"
#include "framework/Files.h"
#include "framework/Registry.h"
#include "framework/errors.h"
#include "framework/handles.h"

namespace {

std::string SpecialFolder(int folderId)
{
    char buffer[MAX_PATH] = {};
    fw::unique_pidl items;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, folderId, items.put())) && items)
        SHGetPathFromIDListA(items.get(), buffer);
    return buffer;
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

void TfrmMain::FixFoldersAndSettings()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    TempDir = temp;
    Converting = false;
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
