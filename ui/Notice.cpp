// TBatchNotice: a notification at the end of a batch.
#include "ui/Notice.h"

#include <shellapi.h>

#include "framework/Unicode.h"

namespace {

constexpr UINT kIconId = 1;
// What the notification area tells the window (the first version of its protocol).
constexpr LPARAM kBalloonHidden = WM_USER + 3, kBalloonTimedOut = WM_USER + 4, kBalloonClicked = WM_USER + 5;

template <std::size_t N>
void CopyWide(wchar_t (&to)[N], const std::string& text)
{
    lstrcpynW(to, fw::Wide(text).c_str(), static_cast<int>(N));
}

}  // namespace

bool TBatchNotice::Show(const std::string& title, const std::string& text)
{
    Remove();  // one notice at a time: the newest batch's
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    data.uCallbackMessage = message_;
    data.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    CopyWide(data.szTip, title);
    CopyWide(data.szInfoTitle, title);
    CopyWide(data.szInfo, text);
    data.dwInfoFlags = NIIF_INFO;  // with the system's sound for a notification
    shown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    return shown_;
}

void TBatchNotice::Handle(LPARAM event)
{
    if (event == kBalloonClicked || event == WM_LBUTTONUP) {
        if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
        SetForegroundWindow(window_);
    }
    if (event == kBalloonClicked || event == kBalloonHidden || event == kBalloonTimedOut) Remove();
}

void TBatchNotice::Remove()
{
    if (!shown_) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = kIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
    shown_ = false;
}
