// The push button.
#include "framework/Button.h"

namespace fw {

TButton::TButton(TComponent* owner, TWinControl* parent, const TBounds& bounds, const char* caption)
    : TWinControl(owner)
{
    CreateHandle({.className = "BUTTON",
                  .style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                  .parent = parent->Handle(),
                  .bounds = bounds,
                  .text = caption,
                  .systemClass = true});
}

LRESULT TButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = TWinControl::WndProc(msg, wParam, lParam);
    // The focused button is the one Enter presses, as in a dialog.
    if (msg == WM_GETDLGCODE && GetFocus() == Handle() && (result & DLGC_UNDEFPUSHBUTTON))
        result = (result & ~DLGC_UNDEFPUSHBUTTON) | DLGC_DEFPUSHBUTTON;
    return result;
}

bool TButton::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    if (OnClick) OnClick(this);
    result = 0;
    return true;
}

}  // namespace fw
