// The application object: the hidden application window with the title, the message loop,
// message boxes and the standard error display.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fw {

// The window class of the application window; a running copy is found by it and the title.
inline constexpr const char* kApplicationClass = "TApplication";

// Lets these messages reach the window from programs at a lower integrity level (a drop
// from Explorer, or a second copy, when this one runs as administrator).
void AllowFromLowerIntegrity(HWND window, std::initializer_list<UINT> messages);

class TForm;

class TApplication {
public:
    // Creates the application window, whose class name and title identify a running copy.
    void Initialize();
    HWND Handle() const { return handle_; }
    void SetTitle(const std::string& title);
    const std::string& Title() const { return title_; }

    void SetMainForm(TForm* form) { mainForm_ = form; }
    // Sees each message the loop takes before it is dispatched; true when it was handled.
    std::function<bool(const MSG& msg)> OnMessage;
    // Shows the main form, hands it the data that arrived before it existed, and
    // dispatches messages until Terminate.
    void Run();
    void Terminate();
    // Handles every message waiting in the thread's queue and every watched handle that
    // is signalled, then returns.
    void ProcessMessages();
    void Minimize();
    // Calls `onSignaled` from the message loop once the handle is signalled.
    void WatchHandle(HANDLE handle, std::function<void()> onSignaled);
    void UnwatchHandle(HANDLE handle);

    // The plain message box: one OK button, no icon, the title as caption, centred on the screen.
    void ShowMessage(const std::string& text) const;
    // A question with Yes and No: true for Yes.
    bool Ask(const std::string& text) const;
    // Yes, No, or none for Cancel (and the Escape key).
    std::optional<bool> AskOrCancel(const std::string& text) const;
    // The standard error display: error icon, the title as caption, a full stop appended.
    void ShowException(const std::exception& error) const;
    // Shows the exception being handled (call inside a catch block).
    void HandleException() const;

    // Waits up to waitMs for input or a watched handle; calls the handle's callback.
    // True when a handle was signalled.
    bool CallSignalled(DWORD waitMs);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    // A message box with the title as caption: its button's id.
    int Box(const std::string& text, UINT flags) const;
    HWND handle_ = nullptr;
    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    std::map<HANDLE, std::function<void()>> watched_;
    // WM_COPYDATA that came before the main form: its tag and bytes, in arrival order.
    std::vector<std::pair<ULONG_PTR, std::string>> earlyData_;
};

extern TApplication* Application;

}  // namespace fw
