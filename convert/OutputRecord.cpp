// TOutputRecord: the outputs the program has saved.
#include "convert/OutputRecord.h"

#include <windows.h>

#include <algorithm>

#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Unicode.h"
#include "framework/handles.h"

namespace convert {

namespace {

// A file's size and modified time as the record keeps them; false when it cannot be read.
bool SizeAndTime(const std::string& path, SavedOutput& saved)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(fw::WidePath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    saved.size = static_cast<std::int64_t>(fw::Join64(data.nFileSizeHigh, data.nFileSizeLow));
    saved.modified = fw::Join64(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return true;
}

void Write(const std::string& path, const std::string& text, DWORD disposition, DWORD access)
{
    fw::unique_handle file(CreateFileW(fw::WidePath(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

TOutputRecord::TOutputRecord(std::string path) : path_(std::move(path))
{
    if (path_.empty()) return;
    outputs_ = ParseSavedOutputs(fw::ReadWholeFile(path_, 64 * 1024 * 1024).value_or(""));
    // Lines are added as files are saved; the record is made whole again once it has grown
    // past what it keeps: the newest line for each output, the newest outputs.
    if (outputs_.size() <= kMostSavedOutputs) return;
    std::vector<SavedOutput> newest;
    for (auto it = outputs_.rbegin(); it != outputs_.rend() && newest.size() < kMostSavedOutputs / 2; ++it)
        if (std::none_of(newest.begin(), newest.end(), [&](const SavedOutput& o) { return fw::SameNameIgnoringCase(o.output, it->output); }))
            newest.push_back(*it);
    outputs_.assign(newest.rbegin(), newest.rend());
    Write(path_, SavedOutputsText(outputs_), CREATE_ALWAYS, GENERIC_WRITE);
}

bool TOutputRecord::MadeFrom(const std::string& output, const std::string& input) const
{
    // Kept as the file system compares paths: each is made so once, not for each line.
    const std::string key = fw::ComparablePath(output);
    const auto last = std::find_if(outputs_.rbegin(), outputs_.rend(), [&](const SavedOutput& o) { return fw::SameNameIgnoringCase(o.output, key); });
    SavedOutput now;
    return last != outputs_.rend() && fw::SameNameIgnoringCase(last->input, fw::ComparablePath(input)) && SizeAndTime(output, now) &&
           now.size == last->size && now.modified == last->modified;
}

void TOutputRecord::Add(const std::string& output, const std::string& input)
{
    SavedOutput saved{fw::ComparablePath(output), fw::ComparablePath(input)};
    if (path_.empty() || !SizeAndTime(output, saved)) return;
    outputs_.push_back(saved);
    fw::MakeFolders(fw::FolderPart(path_, fw::IsLeadByte));
    Write(path_, SavedOutputsText({saved}), OPEN_ALWAYS, FILE_APPEND_DATA);
}

}  // namespace convert
