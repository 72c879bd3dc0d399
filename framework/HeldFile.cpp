// Files held for a copy's whole run, and those left by copies that did not end normally.
#include "framework/HeldFile.h"

#include "framework/Unicode.h"

namespace fw {

THeldFile::THeldFile(const std::string& folder, const std::string& prefix)
    : path_(Wide(folder + prefix + "-" + std::to_string(GetCurrentProcessId()) + ".txt"))
{
    file_.reset(CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN,
                            nullptr));
}

THeldFile::~THeldFile()
{
    if (!file_) return;
    file_.reset();
    DeleteFileW(path_.c_str());
}

void THeldFile::Write(const std::string& text)
{
    if (!file_) return;
    SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN);
    DWORD written = 0;
    WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    SetEndOfFile(file_.get());
}

std::vector<std::string> THeldFile::TakeLeftBehind(const std::string& folder, const std::string& prefix)
{
    std::vector<std::string> texts;
    WIN32_FIND_DATAW entry{};
    unique_hfind found(FindFirstFileW(Wide(folder + prefix + "-*.txt").c_str(), &entry));
    for (bool more = static_cast<bool>(found); more; more = FindNextFileW(found.get(), &entry)) {
        const std::wstring path = Wide(folder) + entry.cFileName;
        unique_handle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file) continue;  // its copy still runs
        std::string text(GetFileSize(file.get(), nullptr), '\0');
        DWORD got = 0;
        ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
        text.resize(got);
        file.reset();
        DeleteFileW(path.c_str());
        texts.push_back(std::move(text));
    }
    return texts;
}

}  // namespace fw
