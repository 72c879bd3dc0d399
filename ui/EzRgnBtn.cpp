// TEzRgnBtn: a button drawn from pictures.
#include "ui/EzRgnBtn.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "framework/advantmr.h"
#include "framework/handles.h"
#include "ui/ButtonLogic.h"

namespace {

TWMMouse RecordOf(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return {msg, wParam, static_cast<short>(GET_X_LPARAM(lParam)), static_cast<short>(GET_Y_LPARAM(lParam)), 0};
}

// Holds the paint lock for one paint or region step.
class PaintLockScope {
public:
    PaintLockScope(HANDLE lock, bool& held) : lock_(lock), held_(held)
    {
        WaitForSingleObject(lock_, INFINITE);
        held_ = true;
    }
    ~PaintLockScope()
    {
        held_ = false;
        SetEvent(lock_);
    }
    PaintLockScope(const PaintLockScope&) = delete;
    PaintLockScope& operator=(const PaintLockScope&) = delete;

private:
    HANDLE lock_;
    bool& held_;
};

}  // namespace

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

TEzRgnBtn::TEzRgnBtn(fw::TComponent* owner, fw::TWinControl* parent)
    : fw::TCustomControl(owner, parent, "TEzRgnBtn")
{
    SetSize(15, 15);
    paintLock_.reset(CreateEventA(nullptr, FALSE, TRUE, nullptr));
    for (TPicture* picture : {&picIdle_, &picUp_, &picDown_, &picDsbld_}) picture->OnChange = [this] { RepaintNow(); };
    repeatTimer_ = fw::Create<TAdvancedTimer>(this);
    repeatTimer_->SetInterval(300);
    repeatTimer_->SetOnTimer([this](fw::TComponent*) { RepeatClick(); });
    repeatTimer_->SetEnabled(false);
}

TEzRgnBtn::~TEzRgnBtn()
{
    for (TPicture* picture : {&picIdle_, &picDown_, &picUp_, &picDsbld_}) picture->OnChange = nullptr;
}

void TEzRgnBtn::SetEnabled(bool value)
{
    if (value == enabled_) return;
    enabled_ = value;
    RepaintNow();
}

void TEzRgnBtn::SetPicIdle(HBITMAP picture)
{
    picIdle_.Assign(picture);
    RepaintNow();
    if (regionApplied_) {
        RemoveRegion();
        ApplyRegion();
    }
}

void TEzRgnBtn::LoadPictures(const char* idle, const char* up, const char* down)
{
    pictureNames_[0] = idle, pictureNames_[1] = up, pictureNames_[2] = down;
    const fw::TForm* form = ParentForm();
    const int dpi = form ? form->Dpi() : fw::WindowDpi(Handle());
    TPicture loaded;
    loaded.LoadFromResource(idle, dpi);
    SetPicIdle(loaded.Handle());
    loaded.LoadFromResource(up, dpi);
    SetPicUp(loaded.Handle());
    loaded.LoadFromResource(down, dpi);
    SetPicDown(loaded.Handle());
}

void TEzRgnBtn::ScaleChanged(int, int)
{
    if (pictureNames_[0].empty()) return;
    const std::string idle = pictureNames_[0], up = pictureNames_[1], down = pictureNames_[2];
    LoadPictures(idle.c_str(), up.c_str(), down.c_str());
}

void TEzRgnBtn::SetPaintMode(TPaintMode mode)
{
    if (mode == paintMode_) return;
    if (paintMode_ == pmCrop) RemoveRegion();
    paintMode_ = mode;
    if (paintMode_ == pmCrop) ApplyRegion();
    RepaintNow();
}

void TEzRgnBtn::SetImageList(HIMAGELIST list)
{
    if (list == imageList_) return;
    imageList_ = list;
    if (!list) return;
    TPicture* targets[] = {&picIdle_, &picUp_, &picDown_, &picDsbld_};
    for (int index = 0; index < 4; ++index) {
        if (ImageList_GetImageCount(list) <= index) break;
        int width = 0, height = 0;
        ImageList_GetIconSize(list, &width, &height);
        HDC screen = GetDC(nullptr);
        fw::unique_hbitmap bitmap(CreateCompatibleBitmap(screen, width, height));
        fw::unique_hdc dc(CreateCompatibleDC(screen));
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
        ImageList_Draw(list, index, dc.get(), 0, 0, ILD_NORMAL);
        SelectObject(dc.get(), old);
        targets[index]->Assign(bitmap.get());
    }
}

void TEzRgnBtn::Click()
{
    if (enabled_) fw::TCustomControl::Click();
}

bool TEzRgnBtn::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    // Enter on the focused button: the dialog keys send its click to the window.
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    Click();
    result = 0;
    return true;
}

const TPicture* TEzRgnBtn::ShownPictureNow() const
{
    PictureSet has{picIdle_.HasGraphic(), picDown_.HasGraphic(), picUp_.HasGraphic(), picDsbld_.HasGraphic()};
    switch (ChoosePicture(enabled_, pressed_, mouseOver_ || spaceDown_, has)) {
    case ShownPicture::Idle: return &picIdle_;
    case ShownPicture::Down: return &picDown_;
    case ShownPicture::Up: return &picUp_;
    case ShownPicture::Disabled: return &picDsbld_;
    case ShownPicture::None: break;
    }
    return nullptr;
}

void TEzRgnBtn::Paint(HDC dc)
{
    const TPicture* picture = ShownPictureNow();
    if (!picture) return;
    if (lockHeld_) {  // asked for from inside a paint or region step: draw it afterwards
        Invalidate();
        return;
    }
    PaintLockScope lock(paintLock_.get(), lockHeld_);
    if (Width() != picture->Width() || Height() != picture->Height()) {
        bounds_.width = picture->Width();
        bounds_.height = picture->Height();
        SetWindowPos(Handle(), nullptr, 0, 0, bounds_.width, bounds_.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    fw::unique_hdc source(CreateCompatibleDC(dc));
    HGDIOBJ old = SelectObject(source.get(), picture->Handle());
    if (paintMode_ == pmTransparent) {
        COLORREF key = GetPixel(source.get(), 0, 0);
        PaintParentBackground(dc);
        TransparentBlt(dc, 0, 0, bounds_.width, bounds_.height, source.get(), 0, 0, bounds_.width, bounds_.height, key);
    } else {
        BitBlt(dc, 0, 0, bounds_.width, bounds_.height, source.get(), 0, 0, SRCCOPY);
    }
    SelectObject(source.get(), old);
    if (GetFocus() == Handle() && !(SendMessageA(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT inside{0, 0, bounds_.width, bounds_.height};
        const int inset = std::max(3, bounds_.width / 8);  // clear of the rounded corners
        InflateRect(&inside, -inset, -inset);
        DrawFocusRect(dc, &inside);
    }
}

void TEzRgnBtn::RepaintNow()
{
    if (!Handle()) return;
    HDC dc = GetDC(Handle());
    Paint(dc);
    ReleaseDC(Handle(), dc);
    ValidateRect(Handle(), nullptr);
}

void TEzRgnBtn::ApplyRegion()
{
    if (paintMode_ != pmCrop || regionApplied_ || !picIdle_.HasGraphic()) return;
    {
        PaintLockScope lock(paintLock_.get(), lockHeld_);
        const int width = picIdle_.Width();
        const int height = picIdle_.Height();
        fw::SetWindowRegion(Handle(), ShapeOf(picIdle_.Handle(), width, height));
    }
    regionApplied_ = true;
}

void TEzRgnBtn::RemoveRegion()
{
    {
        PaintLockScope lock(paintLock_.get(), lockHeld_);
        fw::SetWindowRegion(Handle(), fw::unique_hrgn(CreateRectRgn(0, 0, picIdle_.Width(), picIdle_.Height())));
    }
    regionApplied_ = false;
}

void TEzRgnBtn::UpdateRepeatTimer()
{
    bool run = autoRepeat_ && mouseOver_ && pressed_;
    if (run != repeatTimer_->Enabled()) repeatTimer_->SetEnabled(run);
}

bool TEzRgnBtn::PointerIsOver(POINT client) const
{
    POINT screen = client;
    ClientToScreen(Handle(), &screen);
    return WindowFromPoint(screen) == Handle();
}

void TEzRgnBtn::PointerEntered(TWMMouse& msg)
{
    if (mouseOver_) return;
    mouseOver_ = true;
    RepaintNow();
    if (OnMouseEnter) OnMouseEnter(msg);
    UpdateRepeatTimer();
}

void TEzRgnBtn::PointerLeft(TWMMouse& msg)
{
    mouseOver_ = false;
    RepaintNow();
    if (OnMouseLeave) OnMouseLeave(msg);
    UpdateRepeatTimer();
}

LRESULT TEzRgnBtn::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWMMouse record = RecordOf(msg, wParam, lParam);
    switch (msg) {
    case WM_MOUSEMOVE: {
        if (fw::TCustomControl::OnMouseMove)
            fw::TCustomControl::OnMouseMove(this, wParam, record.XPos, record.YPos);
        if (!trackingLeave_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
            trackingLeave_ = TrackMouseEvent(&track) != FALSE;
        }
        // While the button holds the mouse, arrival and departure follow the pointer.
        bool over = PointerIsOver({record.XPos, record.YPos});
        TWMMouse notice{over ? 0xB013u : 0xB014u, 0, 0, 0, 0};
        if (over && !mouseOver_)
            PointerEntered(notice);
        else if (!over && mouseOver_)
            PointerLeft(notice);
        return 0;
    }
    case WM_MOUSELEAVE: {
        trackingLeave_ = false;
        if (GetCapture() == Handle()) return 0;
        TWMMouse notice{0xB014u, 0, 0, 0, 0};
        if (mouseOver_) PointerLeft(notice);
        return 0;
    }
    case WM_LBUTTONDOWN:
        BeginPress();
        pressed_ = true;
        RepaintNow();
        if (OnMouseDown) OnMouseDown(record);
        UpdateRepeatTimer();
        return 0;
    case WM_LBUTTONUP:
        // Drawn released before the click runs: an error the click raises must not
        // leave the button looking pressed.
        pressed_ = false;
        RepaintNow();
        UpdateRepeatTimer();
        EndPress({record.XPos, record.YPos});
        if (OnMouseUp) OnMouseUp(record);
        return 0;
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON | (GetFocus() == Handle() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !spaceDown_ && !(lParam & 0x40000000)) {  // not a repeat
            spaceDown_ = pressed_ = true;
            RepaintNow();
        }
        return 0;
    case WM_KEYUP:
        if (wParam != VK_SPACE || !spaceDown_) return 0;
        spaceDown_ = pressed_ = false;
        RepaintNow();
        Click();
        return 0;
    case WM_KILLFOCUS:
        if (spaceDown_) spaceDown_ = pressed_ = false;
        RepaintNow();
        return 0;
    case WM_SETFOCUS: case WM_UPDATEUISTATE: {
        LRESULT result = fw::TCustomControl::WndProc(msg, wParam, lParam);
        RepaintNow();
        return result;
    }
    default:
        return fw::TCustomControl::WndProc(msg, wParam, lParam);
    }
}
