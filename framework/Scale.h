// Lengths and pictures at a display's dots per inch: the layout is laid out at 96.
#pragma once

namespace fw {

constexpr int kLayoutDpi = 96;

// A length of the 96-DPI layout at `dpi`, rounded to the nearest pixel (halves up).
constexpr int ScaleLength(int length, int dpi)
{
    const long long scaled = static_cast<long long>(length) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + kLayoutDpi / 2) / kLayoutDpi : -((-scaled + kLayoutDpi / 2) / kLayoutDpi));
}

// The picture size drawn for a DPI: 100, 150 or 200 (per cent), the nearest one; at a tie the
// larger, so that a picture is shrunk rather than stretched.
constexpr int NearestPictureScale(int dpi)
{
    const int percent = dpi * 100 / kLayoutDpi;
    if (percent < 125) return 100;
    if (percent < 175) return 150;
    return 200;
}

// A length of a picture drawn at `percent` (its size in the 96-DPI layout, scaled to `dpi`):
// the picture drawn for 150 % is shown as it is at 144 DPI and shrunk at 120.
constexpr int ScaledPictureLength(int length, int percent, int dpi)
{
    return ScaleLength((length * 100 + percent / 2) / percent, dpi);
}

}  // namespace fw
