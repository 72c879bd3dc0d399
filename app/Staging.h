// The embedded tools: their resources, the files they become, and the ending of encoders.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct Payload {
    const char* resource;
    const char* fileName;
    bool optional;  // the encoder's runtime libraries exist only for builds that need them
};

// In staging order.
inline constexpr Payload kPayloads[] = {
    {"MYEX6", "mediainfo.dll", false},
    {"MYEX7", "mediainfo.exe", false},
    {"MYEX2", "cygwin1.dll", true},
    {"MYEX3", "cygz.dll", true},
    {"MYEX1", "ffmpeg.exe", false},
};

// Terminates every running process whose executable field names `exeName` and that
// `isOwn` accepts (by process id), and waits briefly for each to end. Failures are ignored.
void KillProcessesByExeName(const std::string& exeName, const std::function<bool(DWORD processId)>& isOwn);

// The full image path of a running process, or empty.
std::string ProcessImagePath(DWORD processId);
