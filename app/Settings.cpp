// Start-up: the temporary, work and tool folders and the two settings in the registry.
#include "app/Settings.h"

#include <windows.h>
#include <shlobj.h>

#include "app/AppLogic.h"
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

}  // namespace

void ForceLastLevel(const std::string& path)
{
    if (!fw::DirectoryExists(path)) CreateDirectoryA(path.c_str(), nullptr);
}

int EncodersFromSettings()
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

std::string GetPersonalFolder()
{
    return SpecialFolder(CSIDL_PERSONAL);
}

std::string GetAppDataFolder()
{
    return SpecialFolder(CSIDL_APPDATA);
}
