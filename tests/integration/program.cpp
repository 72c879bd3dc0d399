// The built Mervane.exe as a child process of a test.
#include "program.h"

#include <vector>

#include "app/MainInstance.h"
#include "support.h"

namespace testing_support {

std::string ProgramPath()
{
    char full[MAX_PATH] = {};
    GetFullPathNameA((ExeFolder() + "..\\..\\Mervane.exe").c_str(), MAX_PATH, full, nullptr);
    return full;
}

RunningProgram::RunningProgram(const std::string& arguments)
{
    std::string line = "\"" + ProgramPath() + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_);
}

RunningProgram::~RunningProgram()
{
    if (Running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
}

bool RunningProgram::Running() const
{
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found = nullptr;
    int visible = 0;
};

BOOL CALLBACK Search(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
    ++search->visible;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (search->className && std::string(className) == search->className) search->found = window;
    return TRUE;
}

}  // namespace

HWND RunningProgram::WaitForWindow(int timeoutMs)
{
    HWND window = nullptr;
    PumpUntil(
        [&] {
            WindowSearch search{info_.dwProcessId, kMainWindowClass};
            EnumWindows(&Search, reinterpret_cast<LPARAM>(&search));
            window = search.found;
            return window != nullptr || !Running();
        },
        timeoutMs);
    return window;
}

int RunningProgram::WaitForExit(int timeoutMs)
{
    if (!PumpUntil([&] { return !Running(); }, timeoutMs)) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
}

int RunningProgram::VisibleWindows() const
{
    WindowSearch search{info_.dwProcessId, nullptr};
    EnumWindows(&Search, reinterpret_cast<LPARAM>(&search));
    return search.visible;
}

void ClickAt(HWND window, int x, int y)
{
    LPARAM at = MAKELPARAM(x, y);
    PostMessageA(window, WM_MOUSEMOVE, 0, at);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
}

}  // namespace testing_support
