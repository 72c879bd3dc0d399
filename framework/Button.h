// The push button, whose click comes back to it from its parent.
#pragma once
#include "framework/WinControl.h"

namespace fw {

class TButton : public TWinControl {
public:
    TButton(TComponent* owner, TWinControl* parent, const TBounds& bounds, const char* caption);
    TNotifyEvent OnClick;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

}  // namespace fw
