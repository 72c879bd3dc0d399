// The menu's pages drawn with GDI, and the highlight written as PNG by Windows' imaging component.
#include "disc/MenuPicture.h"

#include <wincodec.h>

#include <cstdint>
#include <cstring>

#include "framework/Files.h"
#include "framework/LoadedFunction.h"
#include "framework/Unicode.h"
#include "framework/errors.h"

namespace disc {

namespace {

// A bitmap of the frame's size to draw on: 32 bits a pixel (blue, green, red, alpha), its top
// row first.
class TCanvas {
public:
    TCanvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_), nullptr, 0);
        if (bitmap_) old_ = SelectObject(dc_, bitmap_);
    }
    ~TCanvas()
    {
        if (bitmap_) SelectObject(dc_, old_), DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    bool Ok() const { return bitmap_ != nullptr; }
    HDC Dc() const { return dc_; }
    std::uint32_t* Pixels() const { return pixels_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
};

void Fill(HDC dc, const MenuBox& box, COLORREF colour)
{
    const RECT r{box.left, box.top, box.right, box.bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A line `width` wide just inside the box, on its four sides.
void Outline(HDC dc, const MenuBox& box, COLORREF colour, int width)
{
    Fill(dc, {box.left, box.top, box.right, box.top + width}, colour);
    Fill(dc, {box.left, box.bottom - width, box.right, box.bottom}, colour);
    Fill(dc, {box.left, box.top, box.left + width, box.bottom}, colour);
    Fill(dc, {box.right - width, box.top, box.right, box.bottom}, colour);
}

// The menu's face, `height` pixels high, smoothed.
HFONT MenuFont(int height, bool bold)
{
    return CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, L"DejaVu Sans");
}

// One line of words in the box, `height` pixels high, shortened with "…" where it is too long.
void Words(HDC dc, const std::string& text, const MenuBox& box, int height, UINT align, bool bold = false)
{
    HFONT font = MenuFont(height, bold);
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, kMenuText);
    SetBkMode(dc, TRANSPARENT);
    RECT r{box.left, box.top, box.right, box.bottom};
    const std::wstring wide = fw::Wide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
}

// A title's name in two lines at most, broken between words, the second shortened with "…".
void Name(HDC dc, const std::string& text, const MenuBox& box, int height)
{
    HFONT font = MenuFont(height, true);
    HGDIOBJ old = SelectObject(dc, font);
    const std::wstring wide = fw::Wide(text);
    int fits = 0;
    SIZE size{};
    GetTextExtentExPointW(dc, wide.c_str(), static_cast<int>(wide.size()), box.Width(), &fits, nullptr, &size);
    std::size_t split = static_cast<std::size_t>(fits);
    if (split < wide.size()) {
        const std::size_t space = wide.rfind(L' ', split);
        if (space != std::wstring::npos && space > 0) split = space;
    }
    SelectObject(dc, old);
    DeleteObject(font);
    const int half = box.Height() / 2;
    const std::string first = fw::Narrow(wide.substr(0, split)), rest = fw::Narrow(wide.substr(std::min(wide.size(), split + (split < wide.size() && wide[split] == L' '))));
    Words(dc, first, rest.empty() ? box : MenuBox{box.left, box.top, box.right, box.top + half}, height, DT_LEFT, true);
    if (!rest.empty()) Words(dc, rest, {box.left, box.top + half, box.right, box.bottom}, height, DT_LEFT, true);
}

// A title's picture into its box, from a BMP of the box's size; a plain box where there is none.
void Picture(HDC dc, const std::string& path, const MenuBox& box)
{
    HBITMAP picture = path.empty() ? nullptr
                                   : static_cast<HBITMAP>(LoadImageW(nullptr, fw::WidePath(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!picture) return Fill(dc, box, RGB(16, 16, 16));
    HDC from = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(from, picture);
    BitBlt(dc, box.left, box.top, box.Width(), box.Height(), from, 0, 0, SRCCOPY);
    SelectObject(from, old);
    DeleteDC(from);
    DeleteObject(picture);
}

// The canvas as a 24-bit BMP, its bottom row first as the format has it.
std::string WriteBmp(const TCanvas& canvas, const std::string& path)
{
    const int w = canvas.Width(), h = canvas.Height(), stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, static_cast<DWORD>(stride * h), 2835, 2835, 0, 0};
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    std::string row(static_cast<std::size_t>(stride), '\0');
    for (int y = h - 1; y >= 0; --y) {
        const std::uint32_t* from = canvas.Pixels() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) std::memcpy(&row[static_cast<std::size_t>(x) * 3], &from[x], 3);
        bytes += row;
    }
    return fw::WriteWholeFile(path, bytes) ? std::string() : fw::SystemErrorText(GetLastError());
}

// The canvas as a PNG with its alpha, by Windows' imaging component.
std::string WritePng(const TCanvas& canvas, const std::string& path)
{
    // Made through OLE loaded at its first use, as the window does not need it to show.
    IWICImagingFactory* factory = fw::CreateSystemObject<IWICImagingFactory>(CLSID_WICImagingFactory, IID_IWICImagingFactory);
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    const UINT stride = static_cast<UINT>(canvas.Width()) * 4, size = stride * static_cast<UINT>(canvas.Height());
    HRESULT hr = factory ? factory->CreateStream(&stream) : REGDB_E_CLASSNOTREG;
    if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(fw::WidePath(path).c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, &options);
    if (SUCCEEDED(hr)) hr = frame->Initialize(options);
    if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(canvas.Width()), static_cast<UINT>(canvas.Height()));
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && format != GUID_WICPixelFormat32bppBGRA) hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(hr)) hr = frame->WritePixels(static_cast<UINT>(canvas.Height()), stride, size, reinterpret_cast<BYTE*>(canvas.Pixels()));
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    for (IUnknown* used : std::initializer_list<IUnknown*>{options, frame, encoder, stream, factory})
        if (used) used->Release();
    return SUCCEEDED(hr) ? std::string() : fw::SystemErrorText(static_cast<DWORD>(hr));
}

}  // namespace

std::string DrawMenuPage(const MenuPage& page, const MenuTexts& texts, const std::string& font, const std::string& path)
{
    TCanvas canvas(page.width, page.height);
    if (!canvas.Ok()) return fw::SystemErrorText(GetLastError());
    const std::wstring face = fw::WidePath(font);
    const bool added = AddFontResourceExW(face.c_str(), FR_PRIVATE, nullptr) > 0;
    HDC dc = canvas.Dc();
    const MenuLetters letters = LettersOf(page);
    Fill(dc, {0, 0, page.width, page.height}, kMenuBackground);
    Words(dc, texts.discName, page.heading, letters.heading, DT_LEFT, true);
    if (page.pages > 1) Words(dc, PageText(page.number, page.pages), page.pageLabel, letters.pageLabel, DT_RIGHT);
    for (const MenuButton& button : page.buttons) {
        if (button.kind != ButtonKind::Title) {
            Outline(dc, button.box, kMenuFrame, kMenuLine);
            Words(dc, ButtonText(button.kind), button.box, letters.button, DT_CENTER);
            continue;
        }
        const std::size_t title = static_cast<std::size_t>(button.title - 1);
        const TitleParts parts = PartsOf(page, button);
        Picture(dc, title < texts.pictures.size() ? texts.pictures[title] : std::string(), parts.picture);
        Outline(dc, {parts.picture.left - kMenuLine, parts.picture.top - kMenuLine, parts.picture.right + kMenuLine, parts.picture.bottom + kMenuLine},
                kMenuFrame, kMenuLine);
        if (title < texts.names.size()) Name(dc, texts.names[title], parts.name, letters.name);
        if (title < texts.seconds.size()) Words(dc, LengthText(texts.seconds[title]), parts.length, letters.length, DT_LEFT);
    }
    GdiFlush();
    if (added) RemoveFontResourceExW(face.c_str(), FR_PRIVATE, nullptr);
    return WriteBmp(canvas, path);
}

std::string DrawHighlight(const MenuPage& page, COLORREF colour, const std::string& path)
{
    TCanvas canvas(page.width, page.height);
    if (!canvas.Ok()) return fw::SystemErrorText(GetLastError());
    for (const MenuButton& button : page.buttons) Outline(canvas.Dc(), button.box, colour, kMenuLine);
    GdiFlush();
    // GDI leaves the alpha alone: what it drew becomes opaque, the rest stays transparent.
    const std::size_t count = static_cast<std::size_t>(page.width) * page.height;
    for (std::size_t i = 0; i < count; ++i)
        if (canvas.Pixels()[i] & 0xFFFFFF) canvas.Pixels()[i] |= 0xFF000000;
    return WritePng(canvas, path);
}

}  // namespace disc
