// The form: its window, fonts and scale, colours, focus and hints.
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
    MakeHints();  // once the window is there: it needs none of them to show
}

void TForm::AddHintFor(TWinControl* control)
{
    hinted_.push_back(control);
    if (tooltip_) MakeHints();
}

void TForm::MakeHints()
{
    if (!tooltip_ && !hinted_.empty())
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                   Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    for (TWinControl* control : std::exchange(hinted_, {})) {
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(control->Handle());
        tool.lpszText = const_cast<char*>(control->Hint.c_str());
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void TForm::Paint()
{
    // Drawn off the screen first: the pictures and labels never flicker.
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
}

void TForm::DpiChanged(int dpi, const RECT& suggested)
{
    ChangeDpi(dpi);
    bounds_ = {suggested.left, suggested.top, suggested.right - suggested.left, suggested.bottom - suggested.top};
    SetWindowPos(Handle(), nullptr, bounds_.left, bounds_.top, bounds_.width, bounds_.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (OnDpiChanged) OnDpiChanged(this);
}

void TForm::ColorsChanged()
{
    ReadColors();
    // Common controls (the list and its header among them) take new colours only when
    // told, and only their top-level window is.
    EnumChildWindows(Handle(), &TellColorsChanged, 0);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: Paint(); return 0;
    case WM_PRINTCLIENT: PaintGraphics(reinterpret_cast<HDC>(wParam), 0, 0); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SHOWWINDOW:
        if (wParam && OnShow) OnShow(this);
        break;
    case WM_CLOSE: Application->Terminate(); return 0;
    case WM_ACTIVATE:
        if (HIWORD(wParam)) break;  // minimised: nothing to focus
        Activated(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_DPICHANGED: DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST) ColorsChanged();
        break;
    case WM_SYSCOLORCHANGE: case WM_THEMECHANGED: ColorsChanged(); break;
    case WM_MOUSEMOVE: TrackHover({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); break;
    case WM_MOUSELEAVE: MouseLeft(); return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
        MouseButton(msg, wParam, lParam);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == Handle()) return SetGraphicCursor();
        break;
    default: break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

}  // namespace fw
