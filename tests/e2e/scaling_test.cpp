// The window at 100, 150 and 200 %: Mervane started with the display's DPI set so. Run by
// tools/scaling-check.sh in a Wine prefix of its own, since the setting is the whole prefix's.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "driver.h"
#include "framework/GraphicControls.h"
#include "framework/Scale.h"
#include "../integration/support.h"

using e2e::Driver;

namespace {

// The DPI that programs started from now on take, as Windows' display settings set it.
void SetDisplayDpi(int dpi)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    const DWORD value = static_cast<DWORD>(dpi);
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

std::string WithoutMnemonic(std::string text)
{
    if (std::size_t at = text.find('&'); at != std::string::npos) text.erase(at, 1);
    return text;
}

}  // namespace

TEST(Scaling, EveryPlaceCaptionAndShapeFollowsTheDisplaysDpi)
{
    for (int dpi : {96, 144, 192}) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
        SetDisplayDpi(dpi);
        Driver app;
        ASSERT_TRUE(app.Window());
        auto scaled = [dpi](int length) { return fw::ScaleLength(length, dpi); };
        RECT frame{};
        GetWindowRect(app.Window(), &frame);
        EXPECT_EQ(frame.right - frame.left, scaled(503));
        EXPECT_EQ(frame.bottom - frame.top, scaled(479));

        // Each control at its place at this scale, its caption inside it in the window's font.
        struct Control {
            const char* kind;
            const char* text;
            RECT at;  // left, top, width, height at 96 DPI
        } controls[] = {
            {"Button", "&Add MP4 File", {384, 77, 103, 25}},
            {"Button", "Add &Folder", {384, 115, 103, 25}},
            {"Button", "&Browse", {384, 153, 103, 25}},
            {"Static", "Select single MP4 file", {16, 64, 99, 13}},
            {"Static", "Select folder containing MP4 files", {16, 102, 157, 13}},
            {"Static", "Select output folder", {16, 139, 95, 13}},
            {WC_LISTVIEWA, "Files to convert", {15, 196, 473, 173}},
            {"TEzRgnBtn", "Convert to MPEG", {436, 384, 41, 41}},
            {"TEzRgnBtn", "Close", {464, 13, 23, 23}},
        };
        HFONT font = CreateFontA(-scaled(11), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
        HDC measure = CreateCompatibleDC(nullptr);
        SelectObject(measure, font);
        for (const Control& c : controls) {
            HWND control = FindWindowExA(app.Window(), nullptr, c.kind, c.text);
            ASSERT_TRUE(control) << c.text;
            RECT r{};
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, app.Window(), reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(r.left, scaled(c.at.left)) << c.text;
            EXPECT_EQ(r.top, scaled(c.at.top)) << c.text;
            const bool label = std::string(c.kind) == "Static";  // as large as its caption, at least
            EXPECT_TRUE(label ? r.right - r.left >= scaled(c.at.right) : r.right - r.left == scaled(c.at.right)) << c.text;
            EXPECT_TRUE(label ? r.bottom - r.top >= scaled(c.at.bottom) : r.bottom - r.top == scaled(c.at.bottom)) << c.text;
            if (label || std::string(c.kind) == "Button") {
                const std::string caption = WithoutMnemonic(c.text);
                SIZE size{};
                GetTextExtentPoint32A(measure, caption.c_str(), static_cast<int>(caption.size()), &size);
                EXPECT_LE(size.cx, r.right - r.left - (label ? 0 : scaled(6))) << c.text << " fits";
            }
        }
        DeleteDC(measure);
        DeleteObject(font);

        // The round corners at this scale, and the convert button cut to the picture it shows.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(app.Window(), region), ERROR);
        EXPECT_FALSE(PtInRegion(region, scaled(4), scaled(4)));
        EXPECT_TRUE(PtInRegion(region, scaled(15), scaled(15)));
        HWND convert = FindWindowExA(app.Window(), nullptr, "TEzRgnBtn", "Convert to MPEG");
        ASSERT_NE(GetWindowRgn(convert, region), ERROR);
        fw::unique_hbitmap picture = fw::LoadScaledBitmap("CONVERT_IDLE", dpi);
        BITMAP size{};
        GetObjectA(picture.get(), sizeof size, &size);
        EXPECT_EQ(size.bmWidth, scaled(41)) << "drawn for this scale";
        HDC pixels = CreateCompatibleDC(nullptr);
        SelectObject(pixels, picture.get());
        const COLORREF key = GetPixel(pixels, 0, 0);
        int differ = 0;
        for (int y = 0; y < size.bmHeight; ++y)
            for (int x = 0; x < size.bmWidth; ++x) differ += (PtInRegion(region, x, y) != 0) != (GetPixel(pixels, x, y) != key);
        EXPECT_EQ(differ, 0) << "pixels where the button's shape and its picture disagree";
        DeleteDC(pixels);
        DeleteObject(region);

        app.Shot("scale-" + std::to_string(dpi * 100 / 96));
        app.Click(scaled(475), scaled(24));  // the close button
        EXPECT_EQ(app.Program().WaitForExit(20000), 0);
    }
    SetDisplayDpi(96);
}
