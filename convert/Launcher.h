// Starting other programs as child processes, with or without waiting for them.
#pragma once
#include <windows.h>

#include <string>

#include "framework/handles.h"

namespace convert {

// Starts `program params` hidden or shown as `show` says, in a new console, with the
// program's folder as working folder. A program path with a blank is quoted and also
// given as the application name. Hands the process back; an empty handle when it could
// not be created (GetLastError then tells why).
fw::unique_handle StartProcess(const std::string& program, const std::string& params, WORD show);

// Starts the process and reports only whether it was created.
bool ShellExec(const std::string& program, const std::string& params, WORD show);

// Where a console program started without a window sends what it writes.
struct OutputFiles {
    std::string output;      // standard output, created anew
    bool errorsToo = false;  // standard error into the same file; otherwise discarded
};

// Starts `program params` without any console window, its output going to a file of its
// own. An empty handle when the file or the process could not be created; `error` then
// holds the system's error code.
fw::unique_handle StartWithoutConsole(const std::string& program, const std::string& params, const OutputFiles& files,
                                      DWORD& error);

// Starts the process and returns once it has ended; true if it was created.
bool ShellExecWait(const std::string& program, const std::string& params, WORD show);

// Waits for the process, dispatching only paint messages meanwhile; sent messages are
// delivered by the system. False when the time limit passed first and the process still
// runs.
bool WaitForProcess(HANDLE process, DWORD timeoutMs = INFINITE);

// The full path of a program found under its own name or in the folders of Path (an
// existing extra folder first); empty when it is nowhere.
std::string SearchProgramPath(const std::string& fileName, const std::string& extraFolder);

}  // namespace convert
