// Graphic controls: bounds, hit-testing, and the painting of pictures and labels.
#include "framework/GraphicControls.h"

#include "framework/Unicode.h"

#include "framework/Form.h"
#include "framework/Scale.h"
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

namespace {

// A bitmap drawn anew at another size with the system's halftone filter.
unique_hbitmap Stretched(HBITMAP source, SIZE from, SIZE to)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, to.cx, -to.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    unique_hbitmap result(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    unique_hdc in(CreateCompatibleDC(nullptr)), out(CreateCompatibleDC(nullptr));
    if (!result || !in || !out) return {};
    HGDIOBJ oldIn = SelectObject(in.get(), source), oldOut = SelectObject(out.get(), result.get());
    SetStretchBltMode(out.get(), HALFTONE);
    SetBrushOrgEx(out.get(), 0, 0, nullptr);
    StretchBlt(out.get(), 0, 0, to.cx, to.cy, in.get(), 0, 0, from.cx, from.cy, SRCCOPY);
    SelectObject(in.get(), oldIn);
    SelectObject(out.get(), oldOut);
    return result;
}

}  // namespace

unique_hbitmap LoadScaledBitmap(const std::string& name, int dpi)
{
    auto load = [](const std::string& resource) {
        return unique_hbitmap(static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), resource.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    };
    int percent = NearestPictureScale(dpi);
    unique_hbitmap picture = percent != 100 ? load(name + "_" + std::to_string(percent)) : unique_hbitmap();
    if (!picture) {
        picture = load(name);
        percent = 100;
    }
    if (!picture) return {};
    BITMAP info{};
    GetObjectA(picture.get(), sizeof info, &info);
    const SIZE drawn{info.bmWidth, info.bmHeight};
    const SIZE wanted{ScaledPictureLength(drawn.cx, percent, dpi), ScaledPictureLength(drawn.cy, percent, dpi)};
    if (wanted.cx == drawn.cx && wanted.cy == drawn.cy) return picture;
    unique_hbitmap stretched = Stretched(picture.get(), drawn, wanted);
    return stretched ? std::move(stretched) : std::move(picture);
}

void TImage::LoadFromResource(const char* name)
{
    resource_ = name;
    bitmap_ = LoadScaledBitmap(resource_, form_->Dpi());
    if (!bitmap_) throw EResNotFound(FormatText("Resource %s not found", {name}));
    BITMAP info{};
    GetObjectA(bitmap_.get(), sizeof info, &info);
    SetBounds({bounds_.left, bounds_.top, info.bmWidth, info.bmHeight});
}

void TImage::ScaleChanged(int, int)
{
    const std::string name = resource_;
    if (!name.empty()) LoadFromResource(name.c_str());
}

void TImage::Paint(HDC dc)
{
    if (!bitmap_ || (Backdrop && form_->HighContrast())) return;
    unique_hdc source(CreateCompatibleDC(dc));
    HGDIOBJ old = SelectObject(source.get(), bitmap_.get());
    if (form_->HighContrast()) {
        // In the system's colours: the picture's own background (its top-left colour) in
        // the window colour, everything drawn on it in the text colour.
        unique_hbitmap mask(CreateBitmap(bounds_.width, bounds_.height, 1, 1, nullptr));
        unique_hdc maskDc(CreateCompatibleDC(dc));
        HGDIOBJ oldMask = SelectObject(maskDc.get(), mask.get());
        SetBkColor(source.get(), GetPixel(source.get(), 0, 0));
        BitBlt(maskDc.get(), 0, 0, bounds_.width, bounds_.height, source.get(), 0, 0, SRCCOPY);
        const COLORREF text = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        const COLORREF back = SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        BitBlt(dc, bounds_.left, bounds_.top, bounds_.width, bounds_.height, maskDc.get(), 0, 0, SRCCOPY);
        SetTextColor(dc, text);
        SetBkColor(dc, back);
        SelectObject(maskDc.get(), oldMask);
        SelectObject(source.get(), old);
        return;
    }
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

void TLabel::ScaleChanged(int, int)
{
    AdjustSize();
}

void TLabel::AdjustSize()
{
    if (!AutoSize) return;
    const SIZE size = form_->TextSize(caption_, bold_, underline_);
    SetBounds({bounds_.left, bounds_.top, size.cx, size.cy});
}

void TLabel::Paint(HDC dc)
{
    RECT r{bounds_.left, bounds_.top, bounds_.left + bounds_.width, bounds_.top + bounds_.height};
    HGDIOBJ old = SelectObject(dc, form_->Font(bold_, underline_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, form_->TextColor(Link));
    // GDI draws 8-bit text in the system's code page, not the program's: the wide form.
    const std::wstring text = Wide(caption_);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
    SelectObject(dc, old);
}

}  // namespace fw
