// A small file that a copy of the program holds open for its whole run and writes whole on
// each change. Held, it cannot be opened alone by anyone else: a later start tells by that
// the files that a copy which crashed, or was ended from outside, left behind.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/handles.h"

namespace fw {

class THeldFile {
public:
    // `prefix` and this process's id name it: "queue-1234.txt" in `folder`.
    THeldFile(const std::string& folder, const std::string& prefix);
    // A normal end: the file goes.
    ~THeldFile();
    THeldFile(const THeldFile&) = delete;
    THeldFile& operator=(const THeldFile&) = delete;

    void Write(const std::string& text);

    // The texts of the files with that prefix in `folder` that no running copy holds,
    // oldest name first; each is deleted once read.
    static std::vector<std::string> TakeLeftBehind(const std::string& folder, const std::string& prefix);

private:
    std::wstring path_;
    unique_handle file_;
};

}  // namespace fw
