// TPicture: one bitmap or nothing, copied in.
#pragma once
#include <windows.h>

#include "framework/handles.h"

class TPicture {
public:
    bool HasGraphic() const { return static_cast<bool>(bitmap_); }
    HBITMAP Handle() const { return bitmap_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Copies the bitmap (none empties the picture).
    void Assign(HBITMAP source);
    void Assign(const TPicture& source) { Assign(source.Handle()); }
    // The resource in the size drawn for `dpi`.
    void LoadFromResource(const char* name, int dpi = 96);
    COLORREF Pixel(int x, int y) const;

private:
    fw::unique_hbitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
};
