// Controls without a window of their own, painted by their form: the picture and the label.
#pragma once
#include <windows.h>

#include <string>

#include "framework/WinControl.h"
#include "framework/handles.h"

namespace fw {

class TForm;

// A bitmap resource for a DPI: NAME_150 or NAME_200 where the nearest picture size is one of
// those, else NAME, scaled to the layout's size at that DPI where it was drawn for another
// (at 120 and 168, say); none when the program carries neither.
unique_hbitmap LoadScaledBitmap(const std::string& name, int dpi);

// A control without a window of its own, painted by its form in creation order.
class TGraphicControl : public TControl {
public:
    TGraphicControl(TComponent* owner, TForm* form);
    ~TGraphicControl() override;
    virtual void Paint(HDC dc) = 0;
    void SetBounds(const TBounds& bounds) override;
    void Invalidate() const;
    bool Contains(POINT clientPoint) const;

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    TForm* form_;
};

// A bitmap, sized to it, in the size drawn for the form's DPI.
class TImage : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void LoadFromResource(const char* name);
    void Paint(HDC dc) override;
    void ScaleChanged(int oldDpi, int newDpi) override;
    // A backdrop gives way to the plain window colour under high contrast.
    bool Backdrop = false;

private:
    std::string resource_;
    unique_hbitmap bitmap_;
};

// A transparent text label; its font is the form's, with its own bold and underline.
class TLabel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    void SetFontStyle(bool bold, bool underline);
    bool Bold() const { return bold_; }
    bool Underline() const { return underline_; }
    bool AutoSize = true;
    // A link is drawn in the link colour under high contrast.
    bool Link = false;
    void Paint(HDC dc) override;
    void ScaleChanged(int oldDpi, int newDpi) override;

private:
    void AdjustSize();
    std::string caption_;
    bool bold_ = false;
    bool underline_ = false;
};

}  // namespace fw
