// The form: a top-level window that paints its graphic controls and routes mouse use to them.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/GraphicControls.h"
#include "framework/Scale.h"
#include "framework/WinControl.h"
#include "framework/handles.h"

namespace fw {

// Whether the system's high-contrast setting is on. Tests put a stand-in here; nothing else may.
extern std::function<bool()> HighContrastSetting;
// The dots per inch of a window's display (the system's before Windows 10).
int WindowDpi(HWND window);

// A top-level window of the program: paints its graphic controls and routes mouse use to them.
class TForm : public TWinControl {
public:
    TForm(TComponent* owner, const char* className);
    ~TForm() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The window font, and variants of it with a style.
    HFONT Font(bool bold = false, bool underline = false) const;
    // The size a text takes in one of those fonts.
    SIZE TextSize(const std::string& text, bool bold = false, bool underline = false) const;
    // The font's face and its height at 96 DPI.
    void SetFontFace(const char* face, int pixelHeight);

    // The window's dots per inch, and a length or bounds of the 96-DPI layout at them.
    int Dpi() const { return dpi_; }
    int Scaled(int length) const { return ScaleLength(length, dpi_); }
    TBounds Scaled(const TBounds& at96) const;
    // Places a control by its bounds at 96 DPI; it keeps to them at every DPI after.
    void Place(TControl* control, const TBounds& at96);
    // Fonts, places, pictures and columns follow a new DPI.
    void ChangeDpi(int dpi);
    // After WM_DPICHANGED, once the window has its new place and size.
    TNotifyEvent OnDpiChanged;

    // Under high contrast the window draws in the system's colours, else in its own.
    bool HighContrast() const { return highContrast_; }
    COLORREF FaceColor() const;
    COLORREF TextColor(bool link = false) const;
    // Shows the window, then makes the hints of its controls.
    void Show();
    void AddHintFor(TWinControl* control);
    // Paints the graphic controls, shifted by (dx, dy), into a device context.
    void PaintGraphics(HDC dc, int dx, int dy) const;
    // Paints what the window shows beneath a child control (colour, pictures and labels)
    // into the control's device context.
    void PaintBeneath(HDC dc, const TWinControl& control) const;

    COLORREF Color;
    TNotifyEvent OnShow;

private:
    friend class TGraphicControl;
    void Register(TGraphicControl* control) { graphics_.push_back(control); }
    void Unregister(TGraphicControl* control);
    TGraphicControl* GraphicAt(POINT clientPoint) const;
    void MouseButton(UINT msg, WPARAM wParam, LPARAM lParam);
    void TrackHover(POINT clientPoint);
    void MouseLeft();
    // The pointer of the graphic control under it, else the arrow.
    BOOL SetGraphicCursor() const;
    void Paint();
    void DpiChanged(int dpi, const RECT& suggested);
    void ColorsChanged();
    void MakeFonts();
    void ReadColors();
    void Activated(bool active);
    void MakeHints();

    std::vector<TGraphicControl*> graphics_;
    TGraphicControl* hovered_ = nullptr;
    TGraphicControl* pressed_ = nullptr;
    bool tracking_ = false;
    unique_hfont fonts_[4];
    std::string fontFace_;
    int fontHeight_ = 0;  // at 96 DPI
    int dpi_ = kLayoutDpi;
    bool highContrast_ = false;
    HWND lastFocus_ = nullptr;  // the child that had the focus last; it gets it back
    HWND tooltip_ = nullptr;
    std::vector<TWinControl*> hinted_;  // controls whose hints wait for the window to show
};

}  // namespace fw
