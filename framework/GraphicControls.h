// Controls without a window of their own, painted by their form: the picture and the label.
#pragma once
#include <windows.h>

#include <string>

#include "framework/WinControl.h"
#include "framework/handles.h"

namespace fw {

class TForm;

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

// A bitmap, sized to it.
class TImage : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void LoadFromResource(const char* name);
    void Paint(HDC dc) override;

private:
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
    void Paint(HDC dc) override;

private:
    void AdjustSize();
    std::string caption_;
    bool bold_ = false;
    bool underline_ = false;
};

}  // namespace fw
