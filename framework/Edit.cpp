// Edit boxes and the label windows that name them: key presses and drawing.
#include "framework/Edit.h"

#include <algorithm>

#include "framework/Files.h"
#include "framework/Form.h"
#include "framework/errors.h"
#include "framework/handles.h"
#include "framework/text.h"

namespace fw {

TEdit::TEdit(TComponent* owner, TWinControl* parent, const TBounds& bounds, DWORD extraStyle) : TWinControl(owner)
{
    CreateHandle({.className = "EDIT",
                  .style = WS_CHILD | WS_VISIBLE | extraStyle,
                  .exStyle = WS_EX_CLIENTEDGE,
                  .parent = parent->Handle(),
                  .bounds = bounds,
                  .systemClass = true});
}

LRESULT TEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CHAR && OnKeyPress) {
        char key = static_cast<char>(wParam);
        OnKeyPress(this, key);
        if (key == 0) return 0;
        wParam = static_cast<unsigned char>(key);
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

bool TEdit::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLOREDIT) return false;
    TForm* form = ParentForm();
    if (!form) return false;
    const bool system = form->HighContrast();
    const auto dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, form->TextColor());
    SetBkColor(dc, system ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255));
    result = reinterpret_cast<LRESULT>(system ? GetSysColorBrush(COLOR_WINDOW) : GetStockObject(WHITE_BRUSH));
    return true;
}

TNameLabel::TNameLabel(TComponent* owner, TForm* form, const std::string& caption) : TWinControl(owner)
{
    CreateHandle({.className = "STATIC",
                  .style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                  .parent = form->Handle(),
                  .bounds = {},
                  .text = caption.c_str(),
                  .systemClass = true});
}

void TNameLabel::SetBounds(const TBounds& bounds)
{
    TBounds fitting = bounds;
    if (TForm* form = ParentForm()) {
        const SIZE size = form->TextSize(Text());
        fitting.width = std::max(fitting.width, static_cast<int>(size.cx));
        fitting.height = std::max(fitting.height, static_cast<int>(size.cy));
    }
    TWinControl::SetBounds(fitting);
}

LRESULT TNameLabel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        if (TForm* form = ParentForm()) form->PaintBeneath(dc, *this);
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_SETTEXT: {
        // Kept without the static control's own drawing: the form's label shows the text.
        const LRESULT result = DefWindowProcA(Handle(), msg, wParam, lParam);
        InvalidateRect(Handle(), nullptr, FALSE);
        return result;
    }
    default:
        return TWinControl::WndProc(msg, wParam, lParam);
    }
}

}  // namespace fw
