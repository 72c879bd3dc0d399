// TTranPanel: an invisible click area that shows what lies beneath it.
#pragma once
#include "framework/Controls.h"

class TTranPanel : public fw::TCustomControl {
public:
    TTranPanel(fw::TComponent* owner, fw::TWinControl* parent);
    bool Border() const { return border_; }
    void SetBorder(bool value);
    void Paint(HDC dc) override;

private:
    bool border_ = false;
};
