// A registry key under HKEY_CURRENT_USER.
#include "framework/Registry.h"

#include <vector>

#include "framework/errors.h"
#include "framework/Unicode.h"
#include "framework/text.h"

namespace fw {

TRegistry::TRegistry(const std::string& keyPath)
{
    std::string relative = keyPath;
    if (!relative.empty() && relative.front() == '\\') relative.erase(0, 1);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key_.put(), nullptr) != ERROR_SUCCESS)
        throw ERegistryException(FormatText("Failed to get data for '%s'", {keyPath}));
}

bool TRegistry::ValueExists(const std::string& name) const
{
    return RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The system keeps the values as UTF-16: read and written in that form, a value in any
// script comes back whole, and its size is known before it is read.
std::string TRegistry::ReadString(const std::string& name) const
{
    const std::wstring wideName = Wide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        throw ERegistryException(FormatText("Invalid data type for '%s'", {name}));
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        throw ERegistryException(FormatText("Failed to get data for '%s'", {name}));
    return Narrow(data.data());
}

void TRegistry::WriteString(const std::string& name, const std::string& value) const
{
    const std::wstring wide = Wide(value);
    if (RegSetValueExW(key_.get(), Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                       static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        throw ERegistryException(FormatText("Failed to set data for '%s'", {name}));
}

DWORD TRegistry::ReadInteger(const std::string& name) const
{
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        throw ERegistryException(FormatText("Invalid data type for '%s'", {name}));
    return value;
}

void TRegistry::WriteInteger(const std::string& name, DWORD value) const
{
    if (RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) != ERROR_SUCCESS)
        throw ERegistryException(FormatText("Failed to set data for '%s'", {name}));
}

}  // namespace fw
