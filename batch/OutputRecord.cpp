// TOutputRecord: the outputs the program has saved.
#include "batch/OutputRecord.h"

#include <windows.h>

#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Unicode.h"
#include "framework/handles.h"

namespace batch {

namespace {

// Two copies of the program may save at once: each reads, appends to and rewrites the
// record only while it holds this.
class TRecordLock {
public:
    TRecordLock() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\Mervane.OutputRecord"))
    {
        const DWORD waited = mutex_ ? WaitForSingleObject(mutex_.get(), 10000) : WAIT_FAILED;
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;  // abandoned: a copy that crashed
    }
    ~TRecordLock()
    {
        if (held_) ReleaseMutex(mutex_.get());
    }
    TRecordLock(const TRecordLock&) = delete;
    TRecordLock& operator=(const TRecordLock&) = delete;

private:
    fw::unique_handle mutex_;
    bool held_ = false;
};

// A file's size and modified time as the record keeps them; false when it cannot be read.
bool SizeAndTime(const std::string& path, SavedOutput& saved)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(fw::WidePath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    saved.size = static_cast<std::int64_t>(fw::Join64(data.nFileSizeHigh, data.nFileSizeLow));
    saved.modified = fw::Join64(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return true;
}

bool Write(const std::string& path, const std::string& text, DWORD disposition, DWORD access)
{
    // The other copy may read it and append to it meanwhile.
    fw::unique_handle file(CreateFileW(fw::WidePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && FlushFileBuffers(file.get());
}

// The whole record written anew beside it and put in its place at once: an end at any moment
// leaves the old record or the new one, never half of one.
void Rewrite(const std::string& path, const std::string& text)
{
    const std::string fresh = path + ".new";
    if (!Write(fresh, text, CREATE_ALWAYS, GENERIC_WRITE) ||
        !MoveFileExW(fw::WidePath(fresh).c_str(), fw::WidePath(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileW(fw::WidePath(fresh).c_str());
}

}  // namespace

TOutputRecord::TOutputRecord(std::string path) : path_(std::move(path))
{
    if (path_.empty()) return;
    const TRecordLock lock;
    std::vector<SavedOutput> outputs = ParseSavedOutputs(fw::ReadWholeFile(path_, 64 * 1024 * 1024).value_or(""));
    // Lines are added as files are saved; the record is made whole again once it has grown
    // past what it keeps.
    if (outputs.size() > kMostSavedOutputs) {
        outputs = NewestSavedOutputs(outputs, kMostSavedOutputs / 2, &fw::CaseFoldedName);
        Rewrite(path_, SavedOutputsText(outputs));
    }
    newest_.reserve(outputs.size());
    for (SavedOutput& output : outputs) newest_[fw::CaseFoldedName(output.output)] = std::move(output);
}

bool TOutputRecord::MadeFrom(const std::string& output, const std::string& input) const
{
    const auto found = newest_.find(fw::CaseFoldedName(fw::ComparablePath(output)));
    if (found == newest_.end()) return false;
    const SavedOutput& last = found->second;
    SavedOutput now;
    return fw::SameNameIgnoringCase(last.input, fw::ComparablePath(input)) && SizeAndTime(output, now) && now.size == last.size &&
           SameSavedTime(last.modified, now.modified, fw::IsFatVolume(fw::VolumeRoot(output)));
}

void TOutputRecord::Add(const std::string& output, const std::string& input)
{
    SavedOutput saved{fw::ComparablePath(output), fw::ComparablePath(input)};
    if (path_.empty() || !SizeAndTime(output, saved)) return;
    newest_[fw::CaseFoldedName(saved.output)] = saved;
    fw::MakeFolders(fw::FolderPart(path_, fw::IsLeadByte));
    const TRecordLock lock;
    Write(path_, SavedOutputsText({saved}), OPEN_ALWAYS, FILE_APPEND_DATA);
}

}  // namespace batch
