// Windowed controls: creation, the window procedure that finds its object, reflection.
#include "framework/WinControl.h"

#include <windowsx.h>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/errors.h"
#include "framework/text.h"

namespace fw {

TMouseButton ButtonOf(UINT msg)
{
    switch (msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return TMouseButton::mbRight;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return TMouseButton::mbMiddle;
    default: return TMouseButton::mbLeft;
    }
}

TWinControl::~TWinControl()
{
    if (handle_) DestroyWindow(handle_);
}

TWinControl* TWinControl::FromHandle(HWND window)
{
    // The window's user data, which no system control uses: read from the window itself at
    // every message, where a property is looked up by name (under Wine, asked of its server).
    return window ? reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA)) : nullptr;
}

void TWinControl::RegisterOwnClass(const char* name, UINT style, HCURSOR cursor)
{
    WNDCLASSA existing{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), name, &existing)) return;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = &TWinControl::Router;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

void TWinControl::CreateHandle(const CreateArgs& args)
{
    const TBounds& b = args.bounds;
    bounds_ = b;
    HWND window = CreateWindowExA(args.exStyle, args.className, args.text, args.style, b.left, b.top, b.width,
                                  b.height, args.parent, nullptr, GetModuleHandleA(nullptr), this);
    if (!window) throw Exception(FormatText("Cannot create a window of class %s", {args.className}));
    if (args.systemClass) {
        handle_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        systemProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::Router)));
    }
}

LRESULT CALLBACK TWinControl::Router(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* self = FromHandle(window);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->handle_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcA(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        LRESULT result = self->DefaultHandler(msg, wParam, lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
        return result;
    }
    try {
        return self->WndProc(msg, wParam, lParam);
    } catch (...) {
        Application->HandleException();
        return 0;
    }
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (systemProc_) return CallWindowProcA(systemProc_, handle_, msg, wParam, lParam);
    return DefWindowProcA(handle_, msg, wParam, lParam);
}

bool TWinControl::Reflected(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(lParam); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom; break;
    case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_SETCURSOR:
        if (Cursor && LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == handle_) {
            SetCursor(Cursor);
            return TRUE;
        }
        break;
    default: break;
    }
    if (child && child != handle_) {
        if (TWinControl* control = FromHandle(child)) {
            LRESULT result = 0;
            if (control->Reflected(msg, wParam, lParam, result)) return result;
        }
    }
    return DefaultHandler(msg, wParam, lParam);
}

void TWinControl::SetBounds(const TBounds& bounds)
{
    TControl::SetBounds(bounds);
    // Drawn again only where it shows: a window being built is drawn once, when it shows.
    if (handle_) MoveWindow(handle_, bounds.left, bounds.top, bounds.width, bounds.height, IsWindowVisible(handle_));
}

void TWinControl::Invalidate() const
{
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

std::string TWinControl::Text() const
{
    int length = GetWindowTextLengthA(handle_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int got = GetWindowTextA(handle_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void TWinControl::SetText(const std::string& text)
{
    SetWindowTextA(handle_, text.c_str());
}

void TWinControl::SetFont(HFONT font)
{
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), IsWindowVisible(handle_));
}

void TWinControl::SetTabStop(bool stop)
{
    const LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
    SetWindowLongPtrA(handle_, GWL_STYLE, stop ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP));
}

TForm* TWinControl::ParentForm() const
{
    return dynamic_cast<TForm*>(FromHandle(GetParent(handle_)));
}

TCustomControl::TCustomControl(TComponent* owner, TWinControl* parent, const char* className, DWORD exStyle)
    : TWinControl(owner)
{
    RegisterOwnClass(className, CS_DBLCLKS, nullptr);
    CreateHandle({.className = className,
                  .style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                  .exStyle = exStyle,
                  .parent = parent->Handle(),
                  .bounds = {0, 0, 0, 0}});
}

void TCustomControl::PaintParentBackground(HDC dc) const
{
    if (TForm* form = ParentForm()) form->PaintBeneath(dc, *this);
}

void TCustomControl::Click()
{
    if (OnClick) OnClick(this);
}

void TCustomControl::BeginPress()
{
    SetCapture(Handle());
    clickPending_ = true;
}

void TCustomControl::EndPress(POINT releasedAt)
{
    bool wasPending = clickPending_;
    clickPending_ = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    RECT client{};
    GetClientRect(Handle(), &client);
    if (wasPending && PtInRect(&client, releasedAt)) Click();
}

LRESULT TCustomControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        Paint(dc);
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: BeginPress(); return 0;
    case WM_LBUTTONUP: EndPress({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    // The second press of a double click makes no click; the other buttons do nothing.
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_RBUTTONUP: case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        return 0;
    case WM_CAPTURECHANGED: clickPending_ = false; break;
    default: break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

}  // namespace fw
