// TMainInstance: the single-instance guard.
#include "app/MainInstance.h"

#include <string>

#include "app/AppLogic.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/handles.h"

namespace {

// The module's state, reset at the start of each construction.
struct GuardState {
    char ownTitle[256] = {};
    char ownClass[256] = {};
    int matchCount = 0;
    HWND ownWindow = nullptr;
    HWND otherWindow = nullptr;
};
GuardState state;

BOOL CALLBACK CountCopies(HWND window, LPARAM) noexcept
{
    char className[256] = {};
    if (GetClassNameA(window, className, sizeof className) <= 0 || std::string(className) != state.ownClass)
        return TRUE;
    char title[256] = {};
    if (GetWindowTextA(window, title, sizeof title) <= 0 || std::string(title) != state.ownTitle) return TRUE;
    ++state.matchCount;
    if (window != state.ownWindow) state.otherWindow = window;
    return TRUE;
}

}  // namespace

std::vector<std::string> CommandLineArguments()
{
    std::vector<std::string> args = app::SplitCommandLine(GetCommandLineA());
    if (!args.empty()) args.erase(args.begin());
    return args;
}

std::vector<std::string> CommandLinePaths()
{
    std::vector<std::string> paths = CommandLineArguments();
    for (std::string& path : paths) path = fw::FullPath(path);
    return paths;
}

namespace {

void ForwardCommandLine(HWND target)
{
    std::string text = app::ForwardedArgumentText(CommandLineArguments());
    if (text.empty()) return;
    fw::unique_atom atom(GlobalAddAtomA(text.c_str()));
    SendMessageA(target, kForwardMessage, atom.get(), 0);
}

// Hands the arguments, whole and as full paths, to the running copy, which queues them.
void HandOverArguments(HWND runningCopy)
{
    std::vector<std::string> args = CommandLinePaths();
    if (args.empty()) return;
    std::string block = app::PackArguments(args);
    COPYDATASTRUCT data{app::kArgumentBlockTag, static_cast<DWORD>(block.size()), block.data()};
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(runningCopy, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &answer);
}

}  // namespace

TMainInstance::TMainInstance(fw::TComponent* owner) : fw::TComponent(owner)
{
    state = GuardState{};
    state.ownWindow = fw::Application->Handle();
    GetWindowTextA(state.ownWindow, state.ownTitle, sizeof state.ownTitle);
    GetClassNameA(state.ownWindow, state.ownClass, sizeof state.ownClass);
    EnumWindows(&CountCopies, 0);
    if (state.matchCount <= 1) return;

    HWND target = GetLastActivePopup(state.otherWindow);
    ForwardCommandLine(target);
    HandOverArguments(state.otherWindow);
    BringWindowToTop(state.otherWindow);
    if (IsIconic(target))
        ShowWindow(target, SW_RESTORE);
    else
        SetForegroundWindow(target);
    ExitProcess(0);
}
