// The user's special folders, the program's settings key and what it says.
#pragma once
#include <string>

inline constexpr const char* kSettingsKey = "\\Software\\Talvik";

std::string GetPersonalFolder();
std::string GetAppDataFolder();
// Makes the last level of a path; a failure is not reported.
void ForceLastLevel(const std::string& path);
// How many encoders run at once: the machine's share, or the Encoders setting.
int EncodersFromSettings();
