// The form: a top-level window that paints its graphic controls and routes mouse use to them.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/GraphicControls.h"
#include "framework/WinControl.h"
#include "framework/handles.h"

namespace fw {

// A top-level window of the program: paints its graphic controls and routes mouse use to them.
class TForm : public TWinControl {
public:
    TForm(TComponent* owner, const char* className);
    ~TForm() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The window font, and variants of it with a style.
    HFONT Font(bool bold = false, bool underline = false) const;
    void SetFontFace(const char* face, int pixelHeight);
    void Show();
    void AddHintFor(TWinControl* control);
    // Paints the graphic controls, shifted by (dx, dy), into a device context.
    void PaintGraphics(HDC dc, int dx, int dy) const;

    COLORREF Color;
    TNotifyEvent OnShow;

private:
    friend class TGraphicControl;
    void Register(TGraphicControl* control) { graphics_.push_back(control); }
    void Unregister(TGraphicControl* control);
    TGraphicControl* GraphicAt(POINT clientPoint) const;
    void MouseButton(UINT msg, WPARAM wParam, LPARAM lParam);
    void TrackHover(POINT clientPoint);

    std::vector<TGraphicControl*> graphics_;
    TGraphicControl* hovered_ = nullptr;
    TGraphicControl* pressed_ = nullptr;
    bool tracking_ = false;
    unique_hfont fonts_[4];
    HWND tooltip_ = nullptr;
};

}  // namespace fw
