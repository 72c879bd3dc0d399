// TEzRgnBtn: a button drawn from pictures.
#include "ui/EzRgnBtn.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "framework/handles.h"

namespace {

// The picture's shape as a region: every pixel but those of the key colour (the top-left
// one's), read in one go and handed to the system as rectangles.
fw::unique_hrgn ShapeOf(HBITMAP picture, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    fw::unique_hdc screen(CreateCompatibleDC(nullptr));
    if (GetDIBits(screen.get(), picture, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        return fw::unique_hrgn(CreateRectRgn(0, 0, width, height));
    const std::vector<PixelRun> runs = OpaqueRuns(pixels, width, height);
    std::vector<char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    region->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(runs.size()), 0, {0, 0, width, height}};
    auto* rects = reinterpret_cast<RECT*>(region->Buffer);
    for (std::size_t i = 0; i < runs.size(); ++i) rects[i] = {runs[i].left, runs[i].y, runs[i].right, runs[i].y + 1};
    return fw::unique_hrgn(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region));
}

}  // namespace

TEzRgnBtn::TEzRgnBtn(fw::TComponent* owner, fw::TWinControl* parent) : fw::TCustomControl(owner, parent, "TEzRgnBtn")
{
    SetSize(15, 15);
}

void TEzRgnBtn::LoadPictures(const char* idle, const char* hover, const char* pressed)
{
    pictureNames_[0] = idle, pictureNames_[1] = hover, pictureNames_[2] = pressed;
    const fw::TForm* form = ParentForm();
    const int dpi = form ? form->Dpi() : fw::WindowDpi(Handle());
    for (int i = 0; i < 3; ++i) pictures_[i].LoadFromResource(pictureNames_[i].c_str(), dpi);
    TakeShape();
}

void TEzRgnBtn::SetPictures(HBITMAP idle, HBITMAP hover, HBITMAP pressed)
{
    pictures_[0].Assign(idle);
    pictures_[1].Assign(hover);
    pictures_[2].Assign(pressed);
    TakeShape();
}

void TEzRgnBtn::ScaleChanged(int, int)
{
    if (!pictureNames_[0].empty())
        LoadPictures(std::string(pictureNames_[0]).c_str(), std::string(pictureNames_[1]).c_str(),
                     std::string(pictureNames_[2]).c_str());
}

void TEzRgnBtn::TakeShape()
{
    const TPicture& idle = pictures_[0];
    if (!idle.HasGraphic()) return;
    SetSize(idle.Width(), idle.Height());
    fw::SetWindowRegion(Handle(), ShapeOf(idle.Handle(), idle.Width(), idle.Height()));
    Invalidate();
}

void TEzRgnBtn::SetState(ButtonState state)
{
    if (state == state_) return;
    state_ = state;
    // Drawn at once: a click that follows, or an error it raises, finds the button as it is.
    Invalidate();
    UpdateWindow(Handle());
}

void TEzRgnBtn::Click()
{
    if (state_ != ButtonState::Disabled) fw::TCustomControl::Click();
}

bool TEzRgnBtn::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    // Enter on the focused button: the dialog keys send its click to the window.
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    Click();
    result = 0;
    return true;
}

void TEzRgnBtn::Paint(HDC dc)
{
    const PictureSet has{pictures_[0].HasGraphic(), pictures_[1].HasGraphic(), pictures_[2].HasGraphic()};
    const ShownPicture shown = ChoosePicture(state_, has);
    if (shown == ShownPicture::None) return;
    const TPicture& picture = pictures_[shown == ShownPicture::Hover ? 1 : shown == ShownPicture::Pressed ? 2 : 0];
    fw::unique_hdc source(CreateCompatibleDC(dc));
    HGDIOBJ old = SelectObject(source.get(), picture.Handle());
    BitBlt(dc, 0, 0, picture.Width(), picture.Height(), source.get(), 0, 0, SRCCOPY);
    SelectObject(source.get(), old);
    if (GetFocus() == Handle() && !(SendMessageA(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT inside{0, 0, Width(), Height()};
        const int inset = std::max(3, Width() / 8);  // clear of the rounded corners
        InflateRect(&inside, -inset, -inset);
        DrawFocusRect(dc, &inside);
    }
}

bool TEzRgnBtn::PointerIsOver(POINT client) const
{
    POINT screen = client;
    ClientToScreen(Handle(), &screen);
    return WindowFromPoint(screen) == Handle();
}

LRESULT TEzRgnBtn::MouseMoved(POINT client)
{
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    }
    // While the button holds the mouse, arrival and departure follow the pointer.
    const bool over = PointerIsOver(client);
    switch (state_) {
    case ButtonState::Idle: if (over) SetState(ButtonState::Hover); break;
    case ButtonState::Hover: if (!over) SetState(ButtonState::Idle); break;
    case ButtonState::Pressed: if (!over && GetCapture() == Handle()) SetState(ButtonState::PressedAway); break;
    case ButtonState::PressedAway: if (over) SetState(ButtonState::Pressed); break;
    case ButtonState::Disabled: break;
    }
    return 0;
}

LRESULT TEzRgnBtn::KeyPressed(WPARAM, LPARAM flags, bool down)
{
    if (state_ == ButtonState::Disabled) return 0;
    const bool byKey = state_ == ButtonState::Pressed && GetCapture() != Handle();
    if (down && !byKey && !(flags & 0x40000000)) SetState(ButtonState::Pressed);  // not a repeat
    if (!down && byKey) {
        SetState(ButtonState::Idle);
        Click();
    }
    return 0;
}

LRESULT TEzRgnBtn::ContextMenu(POINT screen)
{
    if (!OnContextPopup) return 0;
    if (screen.x == -1 && screen.y == -1) {  // from the keyboard: below the button
        screen = {Width() / 2, Height()};
        ClientToScreen(Handle(), &screen);
    }
    OnContextPopup(screen);
    return 0;
}

LRESULT TEzRgnBtn::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
    case WM_MOUSEMOVE: return MouseMoved(at);
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        if (GetCapture() != Handle() && state_ == ButtonState::Hover) SetState(ButtonState::Idle);
        return 0;
    case WM_LBUTTONDOWN:
        if (state_ == ButtonState::Disabled) return 0;
        BeginPress();
        SetState(ButtonState::Pressed);
        return 0;
    case WM_LBUTTONUP:
        // Drawn released before the click runs: an error the click raises must not
        // leave the button looking pressed.
        if (state_ == ButtonState::Pressed || state_ == ButtonState::PressedAway)
            SetState(PointerIsOver(at) ? ButtonState::Hover : ButtonState::Idle);
        EndPress(at);
        return 0;
    case WM_LBUTTONDBLCLK: return 0;
    case WM_GETDLGCODE: return DLGC_BUTTON | (GetFocus() == Handle() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_KEYDOWN: case WM_KEYUP:
        if (wParam != VK_SPACE) return DefaultHandler(msg, wParam, lParam);  // the menu key among them
        return KeyPressed(wParam, lParam, msg == WM_KEYDOWN);
    case WM_RBUTTONUP: return DefaultHandler(msg, wParam, lParam);  // which asks for the menu
    case WM_CONTEXTMENU: return ContextMenu(at);
    case WM_KILLFOCUS:
        if (state_ == ButtonState::Pressed && GetCapture() != Handle()) SetState(ButtonState::Idle);
        Invalidate();
        return 0;
    case WM_SETFOCUS: case WM_UPDATEUISTATE: {
        const LRESULT result = fw::TCustomControl::WndProc(msg, wParam, lParam);
        Invalidate();
        return result;
    }
    default: return fw::TCustomControl::WndProc(msg, wParam, lParam);
    }
}
