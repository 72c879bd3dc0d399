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

bool TButton::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    if (OnClick) OnClick(this);
    result = 0;
    return true;
}

}  // namespace fw
