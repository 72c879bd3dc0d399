// Giving a finished file the output's name, off the window's thread.
#include "convert/Save.h"

#include <algorithm>

#include "convert/ConvertLogic.h"
#include "framework/Files.h"
#include "framework/Unicode.h"

namespace convert {

namespace {

// How long a name held by another program is tried again before a free name is taken.
constexpr DWORD kRetryMs = 5000;

// The input's modified time on the finished file, and its bytes on the disk before it
// takes a name: after a power cut, the output's name never points at nothing.
void StampAndFlush(const std::string& written, const std::string& input)
{
    fw::unique_handle file(CreateFileW(fw::WidePath(written).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    fw::unique_handle source(CreateFileW(fw::WidePath(input).c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    FILETIME modified{};
    if (source && GetFileTime(source.get(), nullptr, nullptr, &modified))
        SetFileTime(file.get(), nullptr, nullptr, &modified);
    FlushFileBuffers(file.get());
}

// Gives the file the output's name, replacing an earlier file of that name: 0, or the
// system's error. A name held for a moment (security software, a sync tool) is tried
// again; one that is read-only or denied never will be.
DWORD Replace(const std::wstring& from, const std::wstring& to)
{
    // Windows refuses to replace a read-only file; said here too, for systems that do not.
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    const DWORD start = GetTickCount();
    while (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        if (!held || GetTickCount() - start >= kRetryMs) return error;
        Sleep(100);
    }
    return 0;
}

void Save(SaveJob& job)
{
    fw::WaitUntilReleased(job.written, kRetryMs);  // Wine signals an ended process before it lets go of its files
    const std::wstring from = fw::WidePath(job.written);
    if (!job.keep) {
        DeleteFileW(from.c_str());  // an earlier file of the output's name stays as it was
        return;
    }
    StampAndFlush(job.written, job.input);
    const DWORD error = Replace(from, fw::WidePath(job.output));
    if (error == 0) {
        job.savedAs = job.output;
        return;
    }
    // The finished file is kept under the first free name beside the output's: no output of
    // this run, no file on the disk, compared as the file system compares names.
    const std::string systemText = fw::SystemErrorText(error);
    std::vector<std::string> taken = job.claimed;
    auto isTaken = [&](const std::string& candidate) {
        return fw::FileExists(candidate) ||
               std::any_of(taken.begin(), taken.end(), [&](const std::string& t) { return fw::SamePath(t, candidate); });
    };
    while (true) {
        const std::string candidate = FirstFreeName(job.output, isTaken, 2);
        if (MoveFileExW(from.c_str(), fw::WidePath(candidate).c_str(), MOVEFILE_WRITE_THROUGH)) {
            job.savedAs = candidate;
            job.note = SavedBesideNote(job.output, candidate, systemText, fw::IsLeadByte);
            return;
        }
        const DWORD refused = GetLastError();
        if (refused != ERROR_ALREADY_EXISTS && refused != ERROR_FILE_EXISTS) break;
        taken.push_back(candidate);  // made meanwhile by someone else
    }
    job.note = SaveFailure(job.output, systemText);
}

}  // namespace

TSaver::TSaver(SaveJob job) : job_(std::move(job))
{
    thread_.reset(CreateThread(nullptr, 0, &TSaver::Run, this, 0, nullptr));
    if (!thread_) Run(this);  // no thread to be had: saved here
}

TSaver::~TSaver()
{
    if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI TSaver::Run(void* self)
{
    Save(static_cast<TSaver*>(self)->job_);
    return 0;
}

}  // namespace convert
