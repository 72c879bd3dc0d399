// Starting other programs as child processes, with or without waiting for them.
#pragma once
#include <windows.h>

#include <string>

#include "framework/handles.h"

namespace convert {

// Starts `program params` (the program path unquoted, one blank between) hidden or shown
// as `show` says, in a new console, with the program's folder as working folder.
// Hands the process back; an empty handle when it could not be created.
fw::unique_handle StartProcess(const std::string& program, const std::string& params, WORD show);

// Starts the process and reports only whether it was created.
bool ShellExec(const std::string& program, const std::string& params, WORD show);

enum class WaitOutcome { NotStarted, Ended, TimedOut };

// Starts the process and waits for it and the processes it starts, keeping the window
// painted. After `timeoutMs` they are terminated.
WaitOutcome RunAndWait(const std::string& program, const std::string& params, WORD show, DWORD timeoutMs);

// Starts the process and returns once it has ended; true if it was created.
bool ShellExecWait(const std::string& program, const std::string& params, WORD show);

// Waits for the process, dispatching only paint messages meanwhile; sent messages are
// delivered by the system. False when the time limit passed first.
bool WaitForProcess(HANDLE process, DWORD timeoutMs = INFINITE);

// The full path of a program found under its own name or in the folders of Path (an
// existing extra folder first); empty when it is nowhere.
std::string SearchProgramPath(const std::string& fileName, const std::string& extraFolder);

}  // namespace convert
