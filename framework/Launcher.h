// Starting other programs as child processes, with or without waiting for them.
#pragma once
#include <windows.h>

#include <string>

#include "framework/handles.h"

namespace fw {

// Where a console program started without a window sends what it writes, and what it reads.
struct OutputFiles {
    std::string output;      // standard output, created anew
    bool errorsToo = false;  // standard error into the same file; otherwise discarded
    std::string input{};     // standard input read from this file; none: nothing to read
    std::string errors{};    // standard error into a file of its own, created anew
};

// Why a start failed: the system's error code, and whether the output file (rather than
// the program) could not be made.
struct StartError {
    DWORD code = 0;
    bool outputFile = false;
};

// Starts `program params` without any console window, with the program's folder as
// working folder, its output going to a file of its own. A program path with a blank is
// quoted and also given as the application name. An empty handle when the file or the
// process could not be created; `error` then says which and why. A process started `paused`
// waits before its first instruction until SuspendProcess lets it go on.
fw::unique_handle StartWithoutConsole(const std::string& program, const std::string& params, const OutputFiles& files,
                                      StartError& error, DWORD priorityClass = NORMAL_PRIORITY_CLASS,
                                      bool paused = false);

// Waits for a process or a thread while the window keeps answering: in short slices, each of
// which looks at the input queue (Windows takes a window that has not looked for 5 s for
// hung) and handles paints and sent messages; the input itself waits. False when the time
// limit passed first and the handle is still not signalled.
bool WaitAnswering(HANDLE handle, DWORD timeoutMs = INFINITE);
// Lets the windows answer the system while the thread is busy: sent messages are handled and
// the windows repainted; input waits in the queue.
void AnswerWhileBusy();

// Stops every thread of a process where it is, or lets them go on (the system's own pause, as
// a debugger uses it). False when the system refused.
bool SuspendProcess(HANDLE process, bool suspend);

// The full path of a program found under its own name or in the folders of Path (an
// existing extra folder first); empty when it is nowhere.
std::string SearchProgramPath(const std::string& fileName, const std::string& extraFolder);

}  // namespace fw
