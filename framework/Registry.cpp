// A registry key under HKEY_CURRENT_USER.
#include "framework/Registry.h"

#include <vector>

#include "framework/errors.h"
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

std::string TRegistry::ReadString(const std::string& name) const
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        throw ERegistryException(FormatText("Invalid data type for '%s'", {name}));
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        throw ERegistryException(FormatText("Failed to get data for '%s'", {name}));
    return std::string(data.data());
}

void TRegistry::WriteString(const std::string& name, const std::string& value) const
{
    if (RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw ERegistryException(FormatText("Failed to set data for '%s'", {name}));
}

}  // namespace fw
