// TPicture: one bitmap or nothing.
#include "ui/Picture.h"

#include "framework/GraphicControls.h"
#include "framework/errors.h"
#include "framework/text.h"

void TPicture::Assign(HBITMAP source)
{
    bitmap_.reset(source ? static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)) : nullptr);
    BITMAP info{};
    if (bitmap_) GetObjectA(bitmap_.get(), sizeof info, &info);
    width_ = info.bmWidth;
    height_ = info.bmHeight;
}

void TPicture::LoadFromResource(const char* name, int dpi)
{
    fw::unique_hbitmap loaded = fw::LoadScaledBitmap(name, dpi);
    if (!loaded) throw fw::EResNotFound(fw::FormatText("Resource %s not found", {name}));
    Assign(loaded.get());
}

COLORREF TPicture::Pixel(int x, int y) const
{
    fw::unique_hdc dc(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(dc.get(), bitmap_.get());
    COLORREF colour = GetPixel(dc.get(), x, y);
    SelectObject(dc.get(), old);
    return colour;
}
