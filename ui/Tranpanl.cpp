// TTranPanel: an invisible click area.
#include "ui/Tranpanl.h"

TTranPanel::TTranPanel(fw::TComponent* owner, fw::TWinControl* parent)
    : fw::TCustomControl(owner, parent, "TTranPanel", WS_EX_TRANSPARENT)
{
    SetSize(185, 41);
}

void TTranPanel::SetBorder(bool value)
{
    if (value == border_) return;
    border_ = value;
    Invalidate();
}

void TTranPanel::Paint(HDC dc)
{
    // Nothing of its own: what the parent draws beneath shows through.
    PaintParentBackground(dc);
    if (!border_) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
}
