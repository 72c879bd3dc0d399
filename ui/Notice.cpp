// TBatchNotice: a notification at the end of a batch.
#include "ui/Notice.h"

#include <commctrl.h>
#include <shellapi.h>

#include "framework/Unicode.h"

namespace {

constexpr UINT kIconId = 1;
// What the notification area tells the window of a click on the notice (the first version of
// its protocol); it also tells when the notice left the screen, which changes nothing.
constexpr LPARAM kBalloonClicked = WM_USER + 5;

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
    // The icon drawn for the notification area's size, not the large one shrunk.
    if (FAILED(LoadIconMetric(GetModuleHandleA(nullptr), L"MAINICON", LIM_SMALL, icon_.put())))
        icon_.reset(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    data.hIcon = icon_.get();
    CopyWide(data.szTip, title);
    CopyWide(data.szInfoTitle, title);
    CopyWide(data.szInfo, text);
    data.dwInfoFlags = NIIF_INFO;  // with the system's sound for a notification
    shown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    return shown_;
}

void TBatchNotice::Handle(LPARAM event)
{
    if (event != kBalloonClicked && event != WM_LBUTTONUP) return;
    if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(window_);
    Remove();
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
    icon_.reset();
}
