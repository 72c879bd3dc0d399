// "About Mervane…": the licences text in a read-only box.
#include "ui/AboutDialog.h"

#include "framework/Unicode.h"
#include "resources/dialogs.h"

namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        const std::string text = LicencesText();
        // An edit box breaks lines at "\r\n" only.
        std::wstring shown;
        for (wchar_t c : fw::Wide(text.empty() ? "The licences are not part of this build." : text)) {
            if (c == L'\n' && (shown.empty() || shown.back() != L'\r')) shown += L'\r';
            shown += c;
        }
        SetDlgItemTextW(dialog, IDC_ABOUT_TEXT, shown.c_str());
        // The text is read from its top, not selected.
        SendDlgItemMessageW(dialog, IDC_ABOUT_TEXT, EM_SETSEL, 0, 0);
        SetFocus(GetDlgItem(dialog, IDC_ABOUT_TEXT));
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) EndDialog(dialog, IDCANCEL);
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

std::string LicencesText()
{
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, L"LICENCES", MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(module, found)) : std::string();
}

void ShowAbout(HWND owner)
{
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, &AboutProc, 0);
}
