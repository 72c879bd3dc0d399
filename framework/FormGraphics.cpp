// The form's graphic controls: painting them, and the mouse over them (hover, presses and
// clicks, the pointer's shape).
#include "framework/Form.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace fw {

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

void TForm::MouseLeft()
{
    tracking_ = false;
    if (!hovered_) return;
    TGraphicControl* before = std::exchange(hovered_, nullptr);
    if (before->OnMouseLeave) before->OnMouseLeave(before);
}

BOOL TForm::SetGraphicCursor() const
{
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(Handle(), &p);
    TGraphicControl* under = GraphicAt(p);
    SetCursor(under && under->Cursor ? under->Cursor : LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

}  // namespace fw
