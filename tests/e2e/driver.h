// Drives the built Mervane.exe as a person would: real pointer and keyboard input, the
// system dialogs, the queue read back from the window, screenshots of each stage.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../integration/program.h"

namespace e2e {

struct Row {
    std::string type, name, progress, converted, del;
};

class Driver {
public:
    explicit Driver(const std::string& arguments = "");
    // Takes over a copy that a test started itself.
    explicit Driver(std::unique_ptr<testing_support::RunningProgram> program);
    HWND Window() const { return window_; }
    testing_support::RunningProgram& Program() { return *program_; }

    // Input at client coordinates of the main window, through the system's input queue.
    void Click(int x, int y, bool right = false);
    void Press(int x, int y);
    void MoveTo(int x, int y);
    void MoveToScreen(POINT screen);
    void Release();
    void Type(const std::string& text);
    // A key, with another held down meanwhile (VK_CONTROL for Ctrl+A).
    void Key(WORD key, WORD held = 0);

    // The queue as the list view shows it.
    std::vector<Row> Rows();
    std::string EditText(int x, int y);
    // Waits for a dialog of the program; its handle or none.
    HWND WaitForDialog(int timeoutMs = 20000);
    // Picks a folder in the shell's folder browser and confirms it.
    void ChooseFolder(HWND browser, const std::string& folder);
    void ConfirmDialog(HWND dialog);
    // A screenshot of the whole screen, kept as test output.
    void Shot(const std::string& name);

private:
    std::unique_ptr<testing_support::RunningProgram> program_;
    HWND window_ = nullptr;
};

// Waits, handling this thread's messages, until `done` holds; false after the time limit.
bool WaitFor(const std::function<bool()>& done, int timeoutMs);

}  // namespace e2e
