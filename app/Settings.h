// The user's special folders and the program's settings key.
#pragma once
#include <string>

inline constexpr const char* kSettingsKey = "\\Software\\Talvik";

std::string GetPersonalFolder();
std::string GetAppDataFolder();
