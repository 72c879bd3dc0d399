// "Fit to ▸ Other size…": the dialog of the resource script, a number of 1 MB or more.
#include "ui/SizeDialog.h"

#include <commctrl.h>

#include <string>

#include "resources/dialogs.h"

namespace {

constexpr std::int64_t kMostMegabytes = 9'999'999;  // what the setting holds

INT_PTR CALLBACK SizeProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* megabytes = reinterpret_cast<std::int64_t*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        megabytes = reinterpret_cast<std::int64_t*>(lParam);
        SendDlgItemMessageW(dialog, IDC_FIT_MEGABYTES, EM_LIMITTEXT, 7, 0);
        if (*megabytes > 0) SetDlgItemTextW(dialog, IDC_FIT_MEGABYTES, std::to_wstring(*megabytes).c_str());
        return TRUE;  // the focus on the box
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            BOOL read = FALSE;
            const UINT typed = GetDlgItemInt(dialog, IDC_FIT_MEGABYTES, &read, FALSE);
            if (!read || typed == 0 || typed > kMostMegabytes) {
                EDITBALLOONTIP tip{sizeof tip, L"Size", L"Type a size of 1 MB or more.", TTI_NONE};
                HWND box = GetDlgItem(dialog, IDC_FIT_MEGABYTES);
                SetFocus(box);
                SendMessageW(box, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
                return TRUE;
            }
            *megabytes = typed;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

std::optional<std::int64_t> AskFitMegabytes(HWND owner, std::int64_t current)
{
    std::int64_t megabytes = current;
    const INT_PTR chosen = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FIT_SIZE), owner, &SizeProc,
                                           reinterpret_cast<LPARAM>(&megabytes));
    if (chosen != IDOK) return std::nullopt;
    return megabytes;
}
