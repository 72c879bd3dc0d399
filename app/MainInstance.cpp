// TMainInstance: the single-instance guard, and the lock taken before it.
#include "app/MainInstance.h"

#include <string>

#include "app/AppLogic.h"
#include "app/CommandLine.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Unicode.h"

namespace {

// The module's state, reset at the start of each search.
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

// Counts the application windows of that class and title, the own one included.
void SearchCopies(HWND ownWindow, const char* className, const char* title)
{
    state = GuardState{};
    state.ownWindow = ownWindow;
    lstrcpynA(state.ownClass, className, sizeof state.ownClass);
    lstrcpynA(state.ownTitle, title, sizeof state.ownTitle);
    EnumWindows(&CountCopies, 0);
}

}  // namespace

std::vector<std::string> CommandLineArguments()
{
    // From the wide command line: a character the code page cannot hold becomes "?",
    // never a look-alike (which the 8-bit command line may hold).
    std::vector<std::string> args = app::SplitCommandLine(fw::Narrow(GetCommandLineW()));
    if (!args.empty()) args.erase(args.begin());
    return args;
}

std::vector<std::string> CommandLinePaths()
{
    std::vector<std::string> paths = app::ParseCommandLine(CommandLineArguments()).paths;
    for (std::string& path : paths) path = fw::FullPath(path);
    return paths;
}

namespace {

// Why a hand-over did not take: the system's error (access denied: the running copy has
// higher rights; a window gone: it has just ended), or none when it took them.
struct HandOver {
    bool taken = true;
    DWORD error = 0;
};

// Hands the arguments, whole and as full paths, to the running copy, which queues them.
HandOver HandOverArguments(HWND runningCopy)
{
    std::vector<std::string> args = CommandLinePaths();
    if (args.empty()) return {};
    std::string block = app::PackArguments(args);
    COPYDATASTRUCT data{app::kArgumentBlockTag, static_cast<DWORD>(block.size()), block.data()};
    DWORD_PTR answer = 0;
    SetLastError(0);
    if (!SendMessageTimeoutA(runningCopy, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                             &answer)) {
        const DWORD error = GetLastError();
        if (!IsWindow(runningCopy)) return {false, ERROR_INVALID_WINDOW_HANDLE};
        // The system's filter gives no code at all, or access denied.
        return {false, error ? error : ERROR_ACCESS_DENIED};
    }
    return {answer != 0, 0};
}

// Hands over and brings the running copy to the front: the exit code to end with, or
// none when the running copy is gone and this one may take its place.
std::optional<int> HandOverTo(HWND otherWindow, TInstanceLock* lock, const TellUser& tell)
{
    HWND target = GetLastActivePopup(otherWindow);
    const HandOver handOver = HandOverArguments(otherWindow);
    if (!handOver.taken && !IsWindow(otherWindow)) {
        // It ended meanwhile: its lock comes free with its process.
        for (int i = 0; lock && i < 100; ++i, Sleep(50))
            if (lock->TryTake()) return std::nullopt;
    }
    BringWindowToTop(otherWindow);
    if (IsIconic(target))
        ShowWindow(target, SW_RESTORE);
    else
        SetForegroundWindow(target);
    if (handOver.taken) return 0;
    const bool elevation = handOver.error == ERROR_ACCESS_DENIED;
    const std::string reason = handOver.error ? fw::SystemErrorText(handOver.error) : "it did not take them";
    tell(app::HandOverRefusedMessage(reason, elevation));
    return 1;
}

// Whether the process of that application window has made its main window yet.
bool HasMainWindow(HWND applicationWindow)
{
    DWORD copy = 0;
    GetWindowThreadProcessId(applicationWindow, &copy);
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, kMainWindowClass, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == copy) return true;
    }
    return false;
}

constexpr const char* kLockName = "Local\\Mervane.OneCopy";

}  // namespace

TInstanceLock::TInstanceLock() : mutex_(CreateMutexA(nullptr, FALSE, kLockName))
{
    TryTake();
}

bool TInstanceLock::TryTake()
{
    if (!held_ && mutex_) {
        DWORD got = WaitForSingleObject(mutex_.get(), 0);
        held_ = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
    }
    return held_;
}

std::optional<int> HandOverWhenReady(TInstanceLock& lock, const std::string& title, const TellUser& tell, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (true) {
        if (lock.TryTake()) return std::nullopt;  // the copy that held it has ended
        SearchCopies(nullptr, fw::kApplicationClass, title.c_str());
        const bool timeUp = GetTickCount() - start >= timeoutMs;
        // After the time limit a copy still starting up keeps what it is handed.
        if (state.otherWindow && (timeUp || HasMainWindow(state.otherWindow))) return HandOverTo(state.otherWindow, &lock, tell);
        if (timeUp) return std::nullopt;
        Sleep(50);
    }
}

TMainInstance::TMainInstance(fw::TComponent* owner, const TellUser& tell) : fw::TComponent(owner)
{
    HWND own = fw::Application->Handle();
    char title[256] = {};
    char className[256] = {};
    GetWindowTextA(own, title, sizeof title);
    GetClassNameA(own, className, sizeof className);
    SearchCopies(own, className, title);
    if (state.matchCount <= 1) return;
    ExitProcess(static_cast<UINT>(HandOverTo(state.otherWindow, nullptr, tell).value_or(1)));
}
