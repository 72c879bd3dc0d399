// The Explorer verb's keys.
#include "app/ExplorerVerb.h"

#include <windows.h>

#include "framework/handles.h"

namespace app {

namespace {

bool SetText(HKEY key, const char* name, const std::string& value)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool WriteVerb(const std::string& parent, const std::string& exePath)
{
    const std::string path = parent + "\\shell\\" + kVerbName;
    HKEY raw = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    fw::unique_hkey verb(raw);
    bool written = SetText(verb.get(), nullptr, kVerbText) && SetText(verb.get(), "MultiSelectModel", "Player") &&
                   SetText(verb.get(), "Icon", "\"" + exePath + "\",0");
    if (RegCreateKeyExA(verb.get(), "command", 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr) != ERROR_SUCCESS) return false;
    fw::unique_hkey command(raw);
    return written && SetText(command.get(), nullptr, "\"" + exePath + "\" \"%1\"");
}

// Removes a key that holds nothing at all (no key, no value): one the verb's writing made.
void RemoveIfEmpty(const std::string& path)
{
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return;
    DWORD keys = 1, values = 1;
    RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(raw);
    if (keys == 0 && values == 0) RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace

bool WriteExplorerVerb(const std::string& exePath)
{
    bool written = true;
    for (const char* parent : kVerbParents) written = WriteVerb(parent, exePath) && written;
    return written;
}

void RemoveExplorerVerb()
{
    for (const char* parent : kVerbParents) {
        const std::string shell = std::string(parent) + "\\shell";
        HKEY raw = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, shell.c_str(), 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) continue;
        RegDeleteTreeA(raw, kVerbName);
        RegCloseKey(raw);
        RemoveIfEmpty(shell);
        RemoveIfEmpty(parent);
    }
    RemoveIfEmpty("Software\\Classes\\SystemFileAssociations");
    RemoveIfEmpty("Software\\Classes");  // there on every Windows; made by the verb only in a bare profile
}

}  // namespace app
