// One-line edit boxes, and the label window that names one for screen readers.
#pragma once
#include <string>
#include <vector>

#include "framework/WinControl.h"

namespace fw {

class TEdit : public TWinControl {
public:
    TEdit(TComponent* owner, TWinControl* parent, const TBounds& bounds, DWORD extraStyle = ES_AUTOHSCROLL);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    TKeyPressEvent OnKeyPress;

protected:
    // A read-only edit is drawn as an editable one: the window colours of its form.
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A label's caption as a window of the system's static class, where screen readers look for
// the name of the control that follows it. It shows what its form draws beneath it, the
// label included, and lets the mouse through to the form. It is at least as large as its
// caption in the form's font.
class TNameLabel : public TWinControl {
public:
    TNameLabel(TComponent* owner, TForm* form, const std::string& caption);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SetBounds(const TBounds& bounds) override;
};

}  // namespace fw
