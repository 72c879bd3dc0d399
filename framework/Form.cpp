// The form: fonts, hints, painting its graphic controls, and their mouse handling.
#include "framework/Form.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "framework/Application.h"
#include "framework/Unicode.h"

namespace fw {

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

std::function<bool()> HighContrastSetting = [] {
    HIGHCONTRASTA setting{sizeof setting, 0, nullptr};
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
};

namespace {

BOOL CALLBACK TellColorsChanged(HWND child, LPARAM)
{
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

}  // namespace

int WindowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window)
        if (UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kLayoutDpi;
}

TForm::TForm(TComponent* owner, const char* className)
    : TWinControl(owner), Color(GetSysColor(COLOR_BTNFACE)), dpi_(WindowDpi(nullptr))
{
    RegisterOwnClass(className, CS_DBLCLKS, nullptr);
    SetFontFace("Tahoma", 11);
    ReadColors();
    CreateHandle({.className = className,
                  .style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
                  .exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT,
                  .parent = Application->Handle(),
                  .bounds = {CW_USEDEFAULT, CW_USEDEFAULT, 100, 100}});
    ChangeDpi(WindowDpi(Handle()));  // the display the window is on may differ from the system's
}

TForm::~TForm()
{
    DestroyComponents();  // the controls go while the window still exists
    if (tooltip_) DestroyWindow(tooltip_);
}

void TForm::SetFontFace(const char* face, int pixelHeight)
{
    fontFace_ = face;
    fontHeight_ = pixelHeight;
    MakeFonts();
}

void TForm::MakeFonts()
{
    for (int style = 0; style < 4; ++style) {
        LOGFONTA lf{};
        lf.lfHeight = -Scaled(fontHeight_);
        lf.lfWeight = (style & 1) ? FW_BOLD : FW_NORMAL;
        lf.lfUnderline = (style & 2) ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(lf.lfFaceName, fontFace_.c_str(), LF_FACESIZE);
        fonts_[style].reset(CreateFontIndirectA(&lf));
    }
}

SIZE TForm::TextSize(const std::string& text, bool bold, bool underline) const
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font(bold, underline));
    SIZE size{};
    const std::wstring wide = Wide(text);  // GDI measures 8-bit text in the system's code page
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

TBounds TForm::Scaled(const TBounds& at96) const
{
    return {Scaled(at96.left), Scaled(at96.top), Scaled(at96.width), Scaled(at96.height)};
}

void TForm::Place(TControl* control, const TBounds& at96)
{
    control->SetPlacedAt(at96);
    control->SetBounds(Scaled(at96));
}

void TForm::ChangeDpi(int dpi)
{
    if (dpi <= 0 || dpi == dpi_) return;
    const int before = std::exchange(dpi_, dpi);
    unique_hfont oldFonts[4];
    for (int style = 0; style < 4; ++style) oldFonts[style] = std::move(fonts_[style]);
    MakeFonts();
    for (TComponent* component : Components()) {
        auto* control = dynamic_cast<TControl*>(component);
        if (!control) continue;
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
            const auto font = reinterpret_cast<HFONT>(SendMessageA(windowed->Handle(), WM_GETFONT, 0, 0));
            for (int style = 0; style < 4; ++style)
                if (font && font == oldFonts[style].get()) windowed->SetFont(fonts_[style].get());
        }
        if (const auto& at96 = control->PlacedAt()) control->SetBounds(Scaled(*at96));
        control->ScaleChanged(before, dpi_);
    }
    if (Handle()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TForm::ReadColors()
{
    highContrast_ = HighContrastSetting && HighContrastSetting();
}

COLORREF TForm::FaceColor() const
{
    return highContrast_ ? GetSysColor(COLOR_WINDOW) : Color;
}

COLORREF TForm::TextColor(bool link) const
{
    if (!highContrast_) return RGB(0, 0, 0);
    return GetSysColor(link ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT);
}

void TForm::Activated(bool active)
{
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        return;
    }
    if (!lastFocus_ || !IsWindow(lastFocus_) || !IsChild(Handle(), lastFocus_))
        lastFocus_ = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (lastFocus_) SetFocus(lastFocus_);
}

HFONT TForm::Font(bool bold, bool underline) const
{
    return fonts_[(bold ? 1 : 0) | (underline ? 2 : 0)].get();
}

void TForm::Show()
{
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
}

void TForm::AddHintFor(TWinControl* control)
{
    if (!tooltip_) {
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                   Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control->Handle());
    tool.lpszText = const_cast<char*>(control->Hint.c_str());
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TForm::Unregister(TGraphicControl* control)
{
    graphics_.erase(std::remove(graphics_.begin(), graphics_.end(), control), graphics_.end());
    if (hovered_ == control) hovered_ = nullptr;
    if (pressed_ == control) pressed_ = nullptr;
}

void TForm::PaintGraphics(HDC dc, int dx, int dy) const
{
    POINT oldOrigin{};
    OffsetViewportOrgEx(dc, dx, dy, &oldOrigin);
    for (TGraphicControl* control : graphics_) control->Paint(dc);
    SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}

void TForm::PaintBeneath(HDC dc, const TWinControl& control) const
{
    RECT client{};
    GetClientRect(control.Handle(), &client);
    unique_hbrush background(CreateSolidBrush(FaceColor()));
    FillRect(dc, &client, background.get());
    PaintGraphics(dc, -control.Left(), -control.Top());
}

TGraphicControl* TForm::GraphicAt(POINT p) const
{
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it)
        if ((*it)->Contains(p)) return *it;
    return nullptr;
}

void TForm::TrackHover(POINT p)
{
    TGraphicControl* now = GraphicAt(p);
    if (now != hovered_) {
        TGraphicControl* before = hovered_;
        hovered_ = now;
        if (before && before->OnMouseLeave) before->OnMouseLeave(before);
        if (now && now->OnMouseEnter) now->OnMouseEnter(now);
    }
    if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        tracking_ = TrackMouseEvent(&track) != FALSE;
    }
}

void TForm::MouseButton(UINT msg, WPARAM wParam, LPARAM lParam)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TMouseButton button = ButtonOf(msg);
    bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
                msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
    if (down) {
        TGraphicControl* target = GraphicAt(p);
        if (!target) return;
        if (msg == WM_LBUTTONDOWN) {
            pressed_ = target;  // a click needs the release over the same control
            SetCapture(Handle());
        }
        if (target->OnMouseDown) {
            auto& bounds = target->Bounds();
            target->OnMouseDown(target, button, wParam, p.x - bounds.left, p.y - bounds.top);
        }
        return;
    }
    TGraphicControl* target = GraphicAt(p);
    if (msg == WM_LBUTTONUP) {
        // A click is a press and a release on the same control; the release that ends a
        // double click had no press of its own and makes none.
        TGraphicControl* pressed = std::exchange(pressed_, nullptr);
        if (GetCapture() == Handle()) ReleaseCapture();
        if (pressed) target = pressed;
        if (pressed && pressed->Contains(p) && pressed->OnClick) pressed->OnClick(pressed);
    }
    if (!target) return;
    if (target->OnMouseUp) {
        auto& bounds = target->Bounds();
        target->OnMouseUp(target, button, wParam, p.x - bounds.left, p.y - bounds.top);
    }
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        RECT client{};
        GetClientRect(Handle(), &client);
        unique_hdc memory(CreateCompatibleDC(dc));
        unique_hbitmap canvas(CreateCompatibleBitmap(dc, client.right, client.bottom));
        HGDIOBJ old = SelectObject(memory.get(), canvas.get());
        unique_hbrush background(CreateSolidBrush(FaceColor()));
        FillRect(memory.get(), &client, background.get());
        PaintGraphics(memory.get(), 0, 0);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        SelectObject(memory.get(), old);
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintGraphics(reinterpret_cast<HDC>(wParam), 0, 0);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SHOWWINDOW:
        if (wParam && OnShow) OnShow(this);
        break;
    case WM_CLOSE:
        Application->Terminate();
        return 0;
    case WM_ACTIVATE:
        if (HIWORD(wParam)) break;  // minimised: nothing to focus
        Activated(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_DPICHANGED: {
        ChangeDpi(HIWORD(wParam));
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        bounds_ = {suggested.left, suggested.top, suggested.right - suggested.left, suggested.bottom - suggested.top};
        SetWindowPos(Handle(), nullptr, bounds_.left, bounds_.top, bounds_.width, bounds_.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (OnDpiChanged) OnDpiChanged(this);
        return 0;
    }
    case WM_SETTINGCHANGE: case WM_SYSCOLORCHANGE: case WM_THEMECHANGED:
        if (msg == WM_SETTINGCHANGE && wParam != SPI_SETHIGHCONTRAST) break;
        ReadColors();
        // Common controls (the list and its header among them) take new colours only when
        // told, and only their top-level window is.
        EnumChildWindows(Handle(), &TellColorsChanged, 0);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        break;
    case WM_MOUSEMOVE:
        TrackHover({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (hovered_) {
            TGraphicControl* before = std::exchange(hovered_, nullptr);
            if (before->OnMouseLeave) before->OnMouseLeave(before);
        }
        return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
        MouseButton(msg, wParam, lParam);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == Handle()) {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(Handle(), &p);
            TGraphicControl* under = GraphicAt(p);
            HCURSOR cursor = under && under->Cursor ? under->Cursor : LoadCursor(nullptr, IDC_ARROW);
            SetCursor(cursor);
            return TRUE;
        }
        break;
    default: break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

}  // namespace fw
