// Staging the embedded tools at start-up and removing them at the end.
#include "app/Staging.h"

#include <tlhelp32.h>

#include "app/AppLogic.h"
#include "app/Main.h"
#include "framework/Application.h"
#include "framework/errors.h"
#include "framework/handles.h"
#include "framework/text.h"

namespace {

// The resource's bytes; none for a missing optional payload.
struct ResourceBytes {
    const void* data = nullptr;
    DWORD size = 0;
};

ResourceBytes OpenPayload(const Payload& payload)
{
    HRSRC found = FindResourceA(nullptr, payload.resource, "EXE");
    if (!found) {
        if (payload.optional) return {};
        throw fw::EResNotFound(fw::FormatText("Resource %s not found", {payload.resource}));
    }
    HGLOBAL loaded = LoadResource(nullptr, found);
    return {LockResource(loaded), SizeofResource(nullptr, found)};
}

// Creates the file anew with no sharing; a failure is ignored.
void WriteWhole(const std::string& path, const ResourceBytes& bytes)
{
    fw::unique_handle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    WriteFile(file.get(), bytes.data, bytes.size, &written, nullptr);
}

void AddHiddenAttribute(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
}

std::string LongName(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    DWORD n = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer) : path;
}

}  // namespace

void TfrmMain::StageTools()
{
    for (const Payload& payload : kPayloads) {
        ResourceBytes bytes = OpenPayload(payload);
        if (!bytes.data) continue;
        std::string target = AppDir + payload.fileName;
        WriteWhole(target, bytes);
        if (std::string(payload.fileName) == "mediainfo.exe") MediainfoPath = ShortName(target);
        if (std::string(payload.fileName) == "ffmpeg.exe") FfmpegPath = ShortName(target);
        AddHiddenAttribute(target);
    }
}

std::string TfrmMain::ShortName(const std::string& path) const
{
    char buffer[256] = {};
    GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    buffer[255] = '\0';
    return buffer;
}

void TfrmMain::EzRgnBtn2Click(fw::TComponent*)
{
    // Only the encoders this copy started from its own staged file: another program's
    // ffmpeg.exe keeps running.
    const std::string ownEncoder = LongName(FfmpegPath);
    fw::Guarded([&] {
        KillProcessesByExeName("ffmpeg.exe", [&](DWORD processId) {
            return (EncoderProcessId != 0 && processId == EncoderProcessId) ||
                   fw::SameTextAscii(ProcessImagePath(processId), ownEncoder);
        });
    });
    for (const std::string& path : {FfmpegPath, AppDir + "cygwin1.dll", AppDir + "cygz.dll", TempDir + "open.bat",
                                    AppDir + "mediainfo.dll", AppDir + "mediainfo.exe"})
        DeleteFileA(path.c_str());

    DWORD processId = 0;
    GetWindowThreadProcessId(fw::Application->Handle(), &processId);
    fw::unique_handle self(OpenProcess(0x1F0FFF, FALSE, processId));
    TerminateProcess(self.get(), 0);
    ExitProcess(0);  // not reached unless the process could not be opened
}

void TfrmMain::FormDestroy(fw::TComponent*)
{
    for (const std::string& path : {FfmpegPath, AppDir + "cygwin1.dll", AppDir + "cygz.dll", AppDir + "mediainfo.dll",
                                    AppDir + "mediainfo.exe", TempDir + "open.bat"})
        DeleteFileA(path.c_str());
}

std::string ProcessImagePath(DWORD processId)
{
    fw::unique_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    char buffer[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!QueryFullProcessImageNameA(process.get(), 0, buffer, &size)) return {};
    return LongName(buffer);
}

void KillProcessesByExeName(const std::string& exeName, const std::function<bool(DWORD processId)>& isOwn)
{
    fw::unique_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        if (!app::ExeFieldMatches(entry.szExeFile, exeName) || !isOwn(entry.th32ProcessID)) continue;
        fw::unique_handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (!process) continue;
        TerminateProcess(process.get(), 0);
        // The staged file can be deleted only once the process has let go of it.
        WaitForSingleObject(process.get(), 2000);
    }
}
