// A registry key under HKEY_CURRENT_USER whose operations raise ERegistryException on failure.
#pragma once
#include <windows.h>

#include <string>

#include "framework/handles.h"

namespace fw {

class TRegistry {
public:
    // Opens the key with all access rights, creating it when it is missing.
    explicit TRegistry(const std::string& keyPath);
    bool ValueExists(const std::string& name) const;
    std::string ReadString(const std::string& name) const;
    void WriteString(const std::string& name, const std::string& value) const;
    // A DWORD value.
    DWORD ReadInteger(const std::string& name) const;
    void WriteInteger(const std::string& name, DWORD value) const;

private:
    unique_hkey key_;
};

}  // namespace fw
