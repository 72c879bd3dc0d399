// Staging the embedded tools at start-up and removing them at the end.
#include "app/Staging.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "app/AppLogic.h"
#include "batch/WritingList.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Launcher.h"
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
    if (error == ERROR_SHARING_VIOLATION && fw::FileSize(path) == static_cast<std::int64_t>(bytes.size)) return 0;
    return error;
}

void AddHiddenAttribute(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace

void TToolWriter::Start(const std::string& toolFolder, std::function<void()> written)
{
    if (worker_.Started()) return;
    folder_ = toolFolder;
    worker_.Start([this] { Write(); }, std::move(written));
}

void TToolWriter::Write()
{
    StagedTools& result = result_;
    try {
        batch::TWritingList::RemoveOrphans(folder_);  // what a crashed run was writing
        for (const Payload& payload : kPayloads) {
            ResourceBytes bytes = OpenPayload(payload);
            if (!bytes.data) continue;
            const std::string target = folder_ + payload.fileName;
            const std::string name = payload.fileName;
            if (name.find('\\') != std::string::npos) CreateDirectoryA(target.substr(0, target.rfind('\\')).c_str(), nullptr);
            DWORD error = StagePayload(target, bytes);
            if (name == "mediainfo.exe") result.mediainfoPath = ShortName(target);
            if (name == "ffmpeg.exe") result.ffmpegPath = ShortName(target);
            if (name == "dvdauthor.exe") result.discToolPath = ShortName(target);
            if (name == "spumux.exe") result.menuToolPath = ShortName(target);
            AddHiddenAttribute(target);
            if (error == 0) continue;
            std::string reason = name + ": " + fw::SystemErrorText(error);
            if (result.firstFailure.empty()) result.firstFailure = reason;
            if (name == "ffmpeg.exe") result.encoderFailure = app::EncoderNotWrittenReason(folder_, reason);
        }
    } catch (...) {
        result.error = std::current_exception();  // shown by the window's thread
    }
}

const StagedTools& TToolWriter::Wait()
{
    worker_.Wait();
    return result_;
}

std::string ShortName(const std::string& path)
{
    char buffer[256] = {};
    GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    buffer[255] = '\0';
    return buffer;
}
