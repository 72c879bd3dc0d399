// The built Mervane.exe as a child process of a test, and its main window.
#pragma once
#include <windows.h>

#include <string>

namespace testing_support {

std::string ProgramPath();

class RunningProgram {
public:
    explicit RunningProgram(const std::string& arguments = "");
    ~RunningProgram();
    // Waits until the main window is shown; its handle or none.
    HWND WaitForWindow(int timeoutMs = 60000);
    // Waits for the end; the exit code, or -1 when it did not end in time.
    int WaitForExit(int timeoutMs = 60000);
    DWORD ProcessId() const { return info_.dwProcessId; }
    HANDLE Process() const { return info_.hProcess; }
    bool Running() const;
    // Visible top-level windows of the process.
    int VisibleWindows() const;

private:
    PROCESS_INFORMATION info_{};
};

// A real click (press and release) at client coordinates of a window.
void ClickAt(HWND window, int x, int y);

}  // namespace testing_support
