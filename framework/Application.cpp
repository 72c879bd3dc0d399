// The application object.
#include "framework/Application.h"

#include <commctrl.h>
#include <ole2.h>

#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "framework/Form.h"
#include "framework/errors.h"
#include "framework/text.h"

namespace fw {

namespace {
TApplication theApplication;
}  // namespace

void AllowFromLowerIntegrity(HWND window, std::initializer_list<UINT> messages)
{
    for (UINT message : messages) ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
}

TApplication* Application = &theApplication;

void TApplication::Initialize()
{
    if (handle_) return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TApplication::WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(wc.hInstance, "MAINICON");
    wc.lpszClassName = kApplicationClass;
    RegisterClassA(&wc);
    // Never shown: the main form carries the task-bar button.
    handle_ = CreateWindowExA(0, kApplicationClass, title_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Another copy finds this one by its application window; the main form answers. What
    // comes while the main form is still being made (a start-up message box is up) is kept
    // for it.
    if (msg == WM_COPYDATA) {
        if (Application->mainForm_ && Application->mainForm_->Handle())
            return SendMessageA(Application->mainForm_->Handle(), msg, wParam, lParam);
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        Application->earlyData_.emplace_back(data->dwData, std::string(static_cast<const char*>(data->lpData), data->cbData));
        return TRUE;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

void TApplication::SetTitle(const std::string& title)
{
    title_ = title;
    if (handle_) SetWindowTextA(handle_, title_.c_str());
}

void TApplication::Run()
{
    if (mainForm_ && !terminated_) {
        mainForm_->Show();
        for (auto& [tag, bytes] : std::exchange(earlyData_, {})) {
            COPYDATASTRUCT data{tag, static_cast<DWORD>(bytes.size()), bytes.data()};
            SendMessageA(mainForm_->Handle(), WM_COPYDATA, reinterpret_cast<WPARAM>(handle_), reinterpret_cast<LPARAM>(&data));
        }
    }
    while (!terminated_) {
        ProcessMessages();
        if (!terminated_) CallSignalled(INFINITE);
    }
}

void TApplication::WatchHandle(HANDLE handle, std::function<void()> onSignaled)
{
    watched_[handle] = std::move(onSignaled);
}

void TApplication::UnwatchHandle(HANDLE handle)
{
    watched_.erase(handle);
}

void TApplication::Terminate()
{
    terminated_ = true;
    PostQuitMessage(0);
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (OnMessage && OnMessage(msg)) continue;
        // The main window's keyboard: Tab, Enter, Space and Alt+letter as in a dialog.
        if (mainForm_ && mainForm_->Handle() && IsDialogMessageA(mainForm_->Handle(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    CallSignalled(0);
}

bool TApplication::CallSignalled(DWORD waitMs)
{
    std::vector<HANDLE> handles;
    for (const auto& entry : watched_) handles.push_back(entry.first);
    DWORD count = static_cast<DWORD>(handles.size());
    // MWMO_INPUTAVAILABLE: input that a peek has already seen still ends the wait.
    DWORD woke = MsgWaitForMultipleObjectsEx(count, handles.data(), waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke >= WAIT_OBJECT_0 + count) return false;
    auto it = watched_.find(handles[woke - WAIT_OBJECT_0]);
    std::function<void()> onSignaled = std::move(it->second);
    watched_.erase(it);
    try {
        onSignaled();
    } catch (...) {
        HandleException();
    }
    return true;
}

void TApplication::Minimize()
{
    if (mainForm_) ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
}

int TApplication::Box(const std::string& text, UINT flags) const
{
    // Owned by the program's active window, which gets the keyboard back when the box closes;
    // with none active (the program is not in front), by the main window, so that the box
    // never hides behind it; with no window shown, the thread's windows wait for it.
    HWND owner = GetActiveWindow();
    if (!owner && mainForm_ && IsWindowVisible(mainForm_->Handle())) owner = mainForm_->Handle();
    return MessageBoxA(owner, text.c_str(), title_.c_str(), flags | (owner ? MB_APPLMODAL : MB_TASKMODAL) | MB_SETFOREGROUND);
}

void TApplication::ShowMessage(const std::string& text) const
{
    Box(text, MB_OK);
}

bool TApplication::Ask(const std::string& text) const
{
    return Box(text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::optional<bool> TApplication::AskOrCancel(const std::string& text) const
{
    const int answer = Box(text, MB_YESNOCANCEL | MB_ICONQUESTION);
    return answer == IDCANCEL ? std::nullopt : std::optional<bool>(answer == IDYES);
}

void TApplication::ShowException(const std::exception& error) const
{
    Box(WithFullStop(error.what()), MB_OK | MB_ICONERROR);
}

void TApplication::HandleException() const
{
    try {
        throw;
    } catch (const Exception& error) {
        ShowException(error);  // the program's own words
    } catch (const std::bad_alloc&) {
        ShowException(std::runtime_error("There was not enough memory to finish this step"));
    } catch (const std::exception& error) {
        // A fault of the program: said in words, never as a bare exception's name.
        ShowException(std::runtime_error(std::string("Mervane could not finish this step because of an internal error (") +
                                         error.what() + ")"));
    } catch (...) {
        ShowException(std::runtime_error("Unknown error"));
    }
}

}  // namespace fw
