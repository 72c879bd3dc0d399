// TMainInstance: the single-instance guard, run while the main window is built.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Component.h"

// Message sent to a running copy with a global atom holding the forwarded arguments.
inline constexpr UINT kForwardMessage = WM_USER + 101;

class TMainInstance : public fw::TComponent {
public:
    // Returns only when this is the only copy; otherwise hands the arguments to the
    // running copy, brings it to the front and ends the process with exit code 0.
    explicit TMainInstance(fw::TComponent* owner);
};

// The arguments after the program's name on this process's command line.
std::vector<std::string> CommandLineArguments();
// The same, each made a full path against the current folder.
std::vector<std::string> CommandLinePaths();
