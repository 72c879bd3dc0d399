// Giving a finished file the output's name, off the window's thread.
#include "batch/Save.h"

#include <algorithm>

#include "batch/OutputFiles.h"
#include "batch/OutputNames.h"
#include "framework/Files.h"
#include "framework/Unicode.h"

namespace batch {

namespace {

// The input's modified time on the finished file, and its bytes on the disk before it
// takes a name: after a power cut, the output's name never points at nothing. Opened with
// every sharing, so that an indexer or a scanner reading it meanwhile stops neither. Empty,
// or why the time could not be kept.
std::string StampAndFlush(const std::string& written, const std::string& input)
{
    fw::unique_handle file(CreateFileW(fw::WidePath(written).c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return fw::SystemErrorText(GetLastError());
    fw::unique_handle source(CreateFileW(fw::WidePath(input).c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    FILETIME modified{};
    const bool stamped = source && GetFileTime(source.get(), nullptr, nullptr, &modified) &&
                         SetFileTime(file.get(), nullptr, nullptr, &modified);
    const DWORD error = stamped ? 0 : GetLastError();
    FlushFileBuffers(file.get());
    return stamped ? std::string() : fw::SystemErrorText(error ? error : ERROR_GEN_FAILURE);
}

// A refusal because a file of the name is there.
bool NameTaken(DWORD error)
{
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

DWORD SystemRename(const std::wstring& from, const std::wstring& to, bool replace)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0))
               ? 0
               : GetLastError();
}

// Gives the file the output's name, replacing an earlier file of that name: 0, or the
// system's error. A name held for a moment is tried again: by security software or a sync
// tool (a sharing violation), or by a player or Explorer's preview, which Windows refuses
// to replace while it is open even when shared for deletion (access denied). A read-only
// file never lets go.
DWORD Replace(const SaveJob& job, const std::wstring& from, const std::wstring& to)
{
    // Windows refuses to replace a read-only file; said here too, for systems that do not.
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    const DWORD start = GetTickCount();
    while (const DWORD error = job.rename(from, to, true)) {
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!held || GetTickCount() - start >= job.retryMs) return error;
        Sleep(100);
    }
    return 0;
}

// The finished file under the first free name beside the output's: no output of this run,
// no file on the disk, compared as the file system compares names. `note` says why, for the
// name it was saved as.
void SaveBeside(SaveJob& job, const std::wstring& from, const std::function<std::string(const std::string&)>& note,
                const std::string& systemText)
{
    std::vector<std::string> madeMeanwhile;
    auto taken = [&](const std::string& candidate) {
        return fw::FileExists(candidate) ||
               std::any_of(madeMeanwhile.begin(), madeMeanwhile.end(), [&](const std::string& t) { return fw::SamePath(t, candidate); });
    };
    while (true) {
        const std::string candidate =
            job.claims ? job.claims->Claim(job.output, job.input, taken, 2) : encode::FirstFreeName(job.output, taken, 2);
        const DWORD refused = job.rename(from, fw::WidePath(candidate), false);
        if (refused == 0) {
            job.savedAs = candidate;
            job.note = note(candidate);
            return;
        }
        if (!NameTaken(refused)) {
            if (job.claims) job.claims->Release(candidate);
            break;
        }
        madeMeanwhile.push_back(candidate);  // made meanwhile by someone else
    }
    job.note = SaveFailure(job.output, systemText);
}

void Save(SaveJob& job)
{
    if (!job.rename) job.rename = &SystemRename;
    fw::WaitUntilReleased(job.written, job.retryMs);  // Wine signals an ended process before it lets go of its files
    const std::wstring from = fw::WidePath(job.written);
    if (!job.keep) {
        DeleteFileW(from.c_str());  // an earlier file of the output's name stays as it was
        return;
    }
    const std::string notStamped = StampAndFlush(job.written, job.input);
    const DWORD error = job.replace ? Replace(job, from, fw::WidePath(job.output)) : job.rename(from, fw::WidePath(job.output), false);
    const std::string systemText = error ? fw::SystemErrorText(error) : std::string();
    if (error == 0)
        job.savedAs = job.output;
    else if (!job.replace && NameTaken(error))
        // A file of the name came meanwhile, and it is none of the program's.
        SaveBeside(job, from, [&](const std::string& savedAs) { return ForeignFileNote(job.output, savedAs, fw::IsLeadByte); }, systemText);
    else
        SaveBeside(job, from, [&](const std::string& savedAs) { return SavedBesideNote(job.output, savedAs, systemText, fw::IsLeadByte); },
                   systemText);
    if (!job.savedAs.empty() && !notStamped.empty())
        job.note = JoinNotes(job.note, DateNotKeptNote(job.input, notStamped, fw::IsLeadByte));
}

}  // namespace

TSaver::TSaver(SaveJob job, std::function<void()> ended) : job_(std::move(job))
{
    worker_.Start([this] { Save(job_); }, std::move(ended));
}

}  // namespace batch
