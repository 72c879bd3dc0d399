// Staging the embedded tools at start-up and removing them at the end.
#include "app/Staging.h"

#include <tlhelp32.h>

#include <cstdint>
#include <optional>

#include "app/AppLogic.h"
#include "app/Main.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/errors.h"
#include "framework/handles.h"
#include "framework/text.h"
#include "queue/QueueLogic.h"

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

std::optional<std::int64_t> FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Creates the file anew with no sharing: 0, or the system's error code.
DWORD WriteWhole(const std::string& path, const ResourceBytes& bytes)
{
    // A hidden file left by an earlier run cannot be re-created with normal attributes.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    fw::unique_handle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    DWORD written = 0;
    if (WriteFile(file.get(), bytes.data, bytes.size, &written, nullptr) && written == bytes.size) return 0;
    DWORD error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
    file.reset();
    DeleteFileA(path.c_str());  // a cut tool would fail in ways nobody could explain
    return error;
}

// Writes one payload: 0, or why its file is not usable. A copy that another program
// holds open (a scanner, a copy of ours that is still ending) is used when it is whole.
DWORD StagePayload(const std::string& path, const ResourceBytes& bytes)
{
    DWORD error = WriteWhole(path, bytes);
    if (error == ERROR_SHARING_VIOLATION && FileSize(path) == static_cast<std::int64_t>(bytes.size)) return 0;
    return error;
}

void AddHiddenAttribute(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace

void TfrmMain::StageTools()
{
    std::string firstFailure;
    for (const Payload& payload : kPayloads) {
        ResourceBytes bytes = OpenPayload(payload);
        if (!bytes.data) continue;
        std::string target = AppDir + payload.fileName;
        DWORD error = StagePayload(target, bytes);
        if (std::string(payload.fileName) == "mediainfo.exe") MediainfoPath = ShortName(target);
        if (std::string(payload.fileName) == "ffmpeg.exe") FfmpegPath = ShortName(target);
        AddHiddenAttribute(target);
        if (error == 0) continue;
        std::string reason = payload.fileName + std::string(": ") + fw::SystemErrorText(error);
        if (firstFailure.empty()) firstFailure = reason;
        if (std::string(payload.fileName) == "ffmpeg.exe") ToolsFailure = app::EncoderNotWrittenReason(AppDir, reason);
    }
    if (!firstFailure.empty()) fw::Application->ShowMessage(app::ToolsNotWrittenMessage(AppDir, firstFailure));
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
    // The batch's encoders, their temporaries removed; then any other encoder this copy
    // started from its own staged file. Another program's ffmpeg.exe keeps running.
    Batch->Abandon();
    const std::string ownEncoder = FfmpegPath.empty() ? std::string() : fw::LongPath(FfmpegPath);
    fw::Guarded([&] {
        KillProcessesByExeName("ffmpeg.exe", [&](DWORD processId) {
            return !ownEncoder.empty() && fw::SameNameIgnoringCase(ProcessImagePath(processId), ownEncoder);
        });
    });
    DeleteLeftovers(true);

    DWORD processId = 0;
    GetWindowThreadProcessId(fw::Application->Handle(), &processId);
    fw::unique_handle self(OpenProcess(0x1F0FFF, FALSE, processId));
    TerminateProcess(self.get(), 0);
    ExitProcess(0);  // not reached unless the process could not be opened
}

void TfrmMain::FormDestroy(fw::TComponent*)
{
    // An end in the middle: our encoders are ended, so that no half file is left under a
    // temporary name and the staged encoder can be removed; the system may sleep again.
    Batch->Abandon();
    DeleteLeftovers(false);
}

void TfrmMain::DeleteLeftovers(bool closeButtonOrder)
{
    const std::string openBat = TempDir + "open.bat";
    const std::string mediaDll = AppDir + "mediainfo.dll", mediaExe = AppDir + "mediainfo.exe";
    std::vector<std::string> paths = {FfmpegPath, AppDir + "cygwin1.dll", AppDir + "cygz.dll"};
    if (closeButtonOrder)
        paths.insert(paths.end(), {openBat, mediaDll, mediaExe});
    else
        paths.insert(paths.end(), {mediaDll, mediaExe, openBat});
    // The encoders' logs and the probes' answers, should a probe have been cut short.
    for (int slot = 0; slot < convert::kMostEncoders; ++slot) paths.push_back(convert::TBatch::LogPath(TempDir, slot));
    paths.insert(paths.end(), {TempDir + queue::kAnswerFiles[0], TempDir + queue::kAnswerFiles[1]});
    for (const std::string& path : paths)
        if (!path.empty()) DeleteFileA(path.c_str());
}

std::string ProcessImagePath(DWORD processId)
{
    fw::unique_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    wchar_t buffer[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!QueryFullProcessImageNameW(process.get(), 0, buffer, &size)) return {};
    return fw::LongPath(fw::Narrow(buffer));
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
