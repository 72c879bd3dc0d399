// Graphic controls: bounds, hit-testing, and the painting of pictures and labels.
#include "framework/GraphicControls.h"

#include "framework/Unicode.h"

#include "framework/Form.h"
#include "framework/errors.h"
#include "framework/text.h"

namespace fw {

TGraphicControl::TGraphicControl(TComponent* owner, TForm* form) : TControl(owner), form_(form)
{
    form_->Register(this);
}

TGraphicControl::~TGraphicControl()
{
    form_->Unregister(this);
}

void TGraphicControl::SetBounds(const TBounds& bounds)
{
    Invalidate();
    TControl::SetBounds(bounds);
    Invalidate();
}

void TGraphicControl::Invalidate() const
{
    if (!form_->Handle()) return;
    RECT r{bounds_.left, bounds_.top, bounds_.left + bounds_.width, bounds_.top + bounds_.height};
    InvalidateRect(form_->Handle(), &r, FALSE);
}

bool TGraphicControl::Contains(POINT p) const
{
    return p.x >= bounds_.left && p.x < bounds_.left + bounds_.width && p.y >= bounds_.top &&
           p.y < bounds_.top + bounds_.height;
}

void TImage::LoadFromResource(const char* name)
{
    bitmap_.reset(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap_) throw EResNotFound(FormatText("Resource %s not found", {name}));
    BITMAP info{};
    GetObjectA(bitmap_.get(), sizeof info, &info);
    SetBounds({bounds_.left, bounds_.top, info.bmWidth, info.bmHeight});
}

void TImage::Paint(HDC dc)
{
    if (!bitmap_) return;
    unique_hdc source(CreateCompatibleDC(dc));
    HGDIOBJ old = SelectObject(source.get(), bitmap_.get());
    BitBlt(dc, bounds_.left, bounds_.top, bounds_.width, bounds_.height, source.get(), 0, 0, SRCCOPY);
    SelectObject(source.get(), old);
}

void TLabel::SetCaption(const std::string& caption)
{
    caption_ = caption;
    AdjustSize();
    Invalidate();
}

void TLabel::SetFontStyle(bool bold, bool underline)
{
    bold_ = bold;
    underline_ = underline;
    AdjustSize();
    Invalidate();
}

void TLabel::AdjustSize()
{
    if (!AutoSize) return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, form_->Font(bold_, underline_));
    SIZE size{};
    const std::wstring text = Wide(caption_);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SetBounds({bounds_.left, bounds_.top, size.cx, size.cy});
}

void TLabel::Paint(HDC dc)
{
    RECT r{bounds_.left, bounds_.top, bounds_.left + bounds_.width, bounds_.top + bounds_.height};
    HGDIOBJ old = SelectObject(dc, form_->Font(bold_, underline_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    // GDI draws 8-bit text in the system's code page, not the program's: the wide form.
    const std::wstring text = Wide(caption_);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
    SelectObject(dc, old);
}

}  // namespace fw
