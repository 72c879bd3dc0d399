// Giving a finished file the output's name, on a thread of its own so that the window
// never waits: the encoder lets go of it, it keeps the input's modified time, it is flushed,
// and it takes the output's name, or a free name beside it when that name stays taken.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "batch/OutputFiles.h"
#include "framework/Worker.h"

namespace batch {

struct SaveJob {
    std::string written;  // the temporary the encoder wrote
    std::string output;
    std::string input;    // whose modified time the output keeps
    bool keep = true;     // false: the run failed and the temporary only goes
    // Whether a file at the output's name is replaced: not where it is none of the program's.
    bool replace = true;
    // The batch's outputs: a free name is claimed there, so that no other file of the batch
    // is given it meanwhile. None: only the disk is asked.
    std::shared_ptr<TOutputClaims> claims;
    // Renames a file, replacing one of the new name or not: 0, or the system's error. The
    // system's own when left empty; tests put a stand-in here.
    std::function<DWORD(const std::wstring& from, const std::wstring& to, bool replace)> rename;
    DWORD retryMs = 5000;  // how long a name held by another program is tried again

    // What came of it, once the thread has ended.
    std::string savedAs;  // the file that now holds the conversion; empty when none
    std::string note;     // why it has another name, or why it could not be saved
};

// Saves on a worker thread and calls `ended` on the window's thread once done. Its end waits
// for the thread: a finished file is never left half renamed.
class TSaver {
public:
    TSaver(SaveJob job, std::function<void()> ended);

    bool Ended() const { return worker_.Ended(); }
    // Only once Ended.
    const SaveJob& Result() const { return job_; }

private:
    SaveJob job_;
    fw::TWorker worker_;  // joined before the job goes
};

}  // namespace batch
