// Drives the built Mervane.exe as a person would.
#include "driver.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>

#include "../integration/support.h"

namespace e2e {

using namespace testing_support;

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    return PumpUntil(done, timeoutMs);
}

Driver::Driver(const std::string& arguments) : Driver(std::make_unique<RunningProgram>(arguments)) {}

Driver::Driver(std::unique_ptr<RunningProgram> program) : program_(std::move(program))
{
    window_ = program_->WaitForWindow();
    if (window_) SetForegroundWindow(window_);
    PumpFor(500);
}

namespace {

void SendMouse(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
    PumpFor(60);
}

void SendKey(WORD key, WCHAR unicode, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = unicode ? 0 : key;
    input.ki.wScan = unicode;
    input.ki.dwFlags = (unicode ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &input, sizeof input);
}

// A block of memory in the program's process, for messages that carry pointers.
class RemoteBlock {
public:
    RemoteBlock(DWORD processId, std::size_t size)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId)),
          address_(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE))
    {
    }
    ~RemoteBlock()
    {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    void* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
    void Write(std::size_t offset, const void* data, std::size_t size)
    {
        WriteProcessMemory(process_, At(offset), data, size, nullptr);
    }
    void Read(std::size_t offset, void* data, std::size_t size) { ReadProcessMemory(process_, At(offset), data, size, nullptr); }

private:
    HANDLE process_;
    void* address_;
};

}  // namespace

void Driver::MoveTo(int x, int y)
{
    POINT p{x, y};
    ClientToScreen(window_, &p);
    MoveToScreen(p);
}

void Driver::MoveToScreen(POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    SendMouse(MOUSEEVENTF_MOVE);
}

void Driver::Press(int x, int y)
{
    MoveTo(x, y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
}

void Driver::Release()
{
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void Driver::Click(int x, int y, bool right)
{
    MoveTo(x, y);
    SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    PumpFor(200);
}

void Driver::Type(const std::string& text)
{
    for (char c : text) {
        SendKey(0, static_cast<unsigned char>(c), false);
        SendKey(0, static_cast<unsigned char>(c), true);
    }
    PumpFor(200);
}

void Driver::Key(WORD key, WORD held)
{
    if (held) SendKey(held, 0, false);
    SendKey(key, 0, false);
    SendKey(key, 0, true);
    if (held) SendKey(held, 0, true);
    PumpFor(200);
}

std::vector<Row> Driver::Rows()
{
    HWND list = FindWindowExA(window_, nullptr, WC_LISTVIEWA, nullptr);
    std::vector<Row> rows;
    if (!list) return rows;
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    RemoteBlock remote(program_->ProcessId(), sizeof(LVITEMA) + 512);
    for (int r = 0; r < count; ++r) {
        std::string cells[5];
        for (int c = 0; c < 5; ++c) {
            LVITEMA item{};
            item.iSubItem = c;
            item.pszText = static_cast<char*>(remote.At(sizeof(LVITEMA)));
            item.cchTextMax = 512;
            remote.Write(0, &item, sizeof item);
            SendMessageA(list, LVM_GETITEMTEXTA, r, reinterpret_cast<LPARAM>(remote.At(0)));
            char text[512] = {};
            remote.Read(sizeof(LVITEMA), text, sizeof text - 1);
            cells[c] = text;
        }
        rows.push_back({cells[0], cells[1], cells[2], cells[3], cells[4]});
    }
    return rows;
}

std::string Driver::EditText(int x, int y)
{
    HWND edit = ChildWindowFromPoint(window_, POINT{x, y});
    char text[1024] = {};
    SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

HWND Driver::WaitForDialog(int timeoutMs)
{
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindDialogOf(program_->ProcessId())) != nullptr; }, timeoutMs);
    if (!dialog) return nullptr;
    // Keys reach the dialog once it is the active window of its thread with the focus inside
    // it; a dialog just shown may not be yet on a busy machine.
    WaitFor(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndActive == dialog &&
                   info.hwndFocus && (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus)) &&
                   GetForegroundWindow() == dialog;
        },
        5000);
    PumpFor(400);
    return dialog;
}

void Driver::ChooseFolder(HWND browser, const std::string& folder)
{
    RemoteBlock remote(program_->ProcessId(), folder.size() + 1);
    remote.Write(0, folder.c_str(), folder.size() + 1);
    for (int i = 0; i < 5; ++i) {
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(remote.At(0)));
        PumpFor(200);
    }
    ConfirmDialog(browser);
}

void Driver::ConfirmDialog(HWND dialog)
{
    HWND ok = GetDlgItem(dialog, IDOK);
    if (!ok) ok = GetDlgItem(dialog, IDYES);
    RECT r{};
    GetWindowRect(ok, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMouse(MOUSEEVENTF_MOVE);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000);
    PumpFor(200);
}

void Driver::Shot(const std::string& name)
{
    PumpFor(300);
    SaveScreenshot(name);
}

}  // namespace e2e
