// TMainInstance: the single-instance guard, run while the main window is built, and the
// lock that a copy takes before anything else.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/handles.h"

// Shows the user a message: the guard's only word, when a running copy refused the files.
using TellUser = std::function<void(const std::string& text)>;

// The main window's class: a running copy's window is found by it.
inline constexpr const char* kMainWindowClass = "TfrmMain";

class TMainInstance : public fw::TComponent {
public:
    // Returns only when this is the only copy; otherwise hands the arguments to the
    // running copy, brings it to the front and ends the process with exit code 0.
    TMainInstance(fw::TComponent* owner, const TellUser& tell);
};

// A name in the session's namespace that one copy holds for its whole run, so that copies
// started together (Explorer's "Open with" on several files) agree on which one runs.
class TInstanceLock {
public:
    TInstanceLock();
    bool Held() const { return held_; }
    // Takes the name when the copy that held it has ended.
    bool TryTake();

private:
    fw::unique_handle mutex_;
    bool held_ = false;
};

// For a copy without the lock: waits, at most `timeoutMs`, until the running copy's main
// window exists, then hands the arguments over and brings it to the front. The exit code
// to end with; none when the lock came free or no running copy showed itself in time.
std::optional<int> HandOverWhenReady(TInstanceLock& lock, const std::string& title, const TellUser& tell,
                                     DWORD timeoutMs = 10000);

// The arguments after the program's name on this process's command line.
std::vector<std::string> CommandLineArguments();
// The paths among them (the options left out), each made a full path against the current folder.
std::vector<std::string> CommandLinePaths();
