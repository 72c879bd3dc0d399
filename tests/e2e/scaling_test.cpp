// The window at 100, 125, 150, 175 and 200 %: Mervane started with the display's DPI set so. Run by
// tools/scaling-check.sh in a Wine prefix of its own, since the setting is the whole prefix's.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "driver.h"
#include "framework/GraphicControls.h"
#include "framework/Scale.h"

TEST(Scaling, EveryPlaceCaptionAndShapeFollowsTheDisplaysDpi)
{
    HKEY desktop = nullptr;  // where the display settings keep the DPI programs start with
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &desktop, nullptr);
    for (DWORD dpi : {192, 168, 144, 120, 96}) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
        RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        e2e::Driver app;
        ASSERT_TRUE(app.Window());
        auto scaled = [dpi](int length) { return fw::ScaleLength(length, static_cast<int>(dpi)); };
        RECT frame{};
        GetWindowRect(app.Window(), &frame);
        EXPECT_EQ(frame.right - frame.left, scaled(503));
        EXPECT_EQ(frame.bottom - frame.top, scaled(479));

        // Each control at its place at this scale, its caption inside it in the window's font
        // (a label as large as its caption).
        const struct {
            const char* kind;
            const char* text;
            RECT at;  // left, top, width and height at 96 DPI
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
        HDC measure = CreateCompatibleDC(nullptr);
        HFONT font = CreateFontA(-scaled(11), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
        SelectObject(measure, font);
        for (const auto& c : controls) {
            HWND control = FindWindowExA(app.Window(), nullptr, c.kind, c.text);
            ASSERT_TRUE(control) << c.text;
            RECT r{};
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, app.Window(), reinterpret_cast<POINT*>(&r), 2);
            const bool label = c.kind == std::string("Static"), button = c.kind == std::string("Button");
            const int width = r.right - r.left, height = r.bottom - r.top;
            EXPECT_TRUE(r.left == scaled(c.at.left) && r.top == scaled(c.at.top)) << c.text;
            EXPECT_TRUE(label ? width >= scaled(c.at.right) && height >= scaled(c.at.bottom)
                              : width == scaled(c.at.right) && height == scaled(c.at.bottom)) << c.text;
            std::string caption = c.text;
            caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
            SIZE size{};
            GetTextExtentPoint32A(measure, caption.c_str(), static_cast<int>(caption.size()), &size);
            EXPECT_TRUE(!(label || button) || size.cx <= width - (button ? scaled(6) : 0)) << c.text << " fits";
        }
        DeleteDC(measure);
        DeleteObject(font);

        // The round corners at this scale, and the convert button cut to the picture it shows.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(app.Window(), region), ERROR);
        EXPECT_FALSE(PtInRegion(region, scaled(4), scaled(4)));
        EXPECT_TRUE(PtInRegion(region, scaled(15), scaled(15)));
        ASSERT_NE(GetWindowRgn(FindWindowExA(app.Window(), nullptr, "TEzRgnBtn", "Convert to MPEG"), region), ERROR);
        fw::unique_hbitmap picture = fw::LoadScaledBitmap("CONVERT_IDLE", static_cast<int>(dpi));
        HDC pixels = CreateCompatibleDC(nullptr);
        SelectObject(pixels, picture.get());
        const COLORREF key = GetPixel(pixels, 0, 0);
        int differ = 0;
        for (int y = 0; y < scaled(41); ++y)
            for (int x = 0; x < scaled(41); ++x) differ += (PtInRegion(region, x, y) != 0) != (GetPixel(pixels, x, y) != key);
        EXPECT_EQ(differ, 0) << "pixels where the button's shape and its picture, drawn for this scale, disagree";
        EXPECT_EQ(GetPixel(pixels, scaled(41), 0), CLR_INVALID) << "a picture as large as the button";
        DeleteDC(pixels);
        DeleteObject(region);
        // The pictures as large as their places, whichever size they were drawn at.
        for (const auto& [name, width, height] : {std::tuple{"LOGO", 231, 53}, {"CONVERT_TO", 148, 33}, {"BACKGROUND", 503, 480}}) {
            BITMAP size{};
            GetObjectA(fw::LoadScaledBitmap(name, static_cast<int>(dpi)).get(), sizeof size, &size);
            EXPECT_TRUE(size.bmWidth == scaled(width) && size.bmHeight == scaled(height)) << name << " " << size.bmWidth;
        }

        app.Shot("scale-" + std::to_string(dpi * 100 / 96));
        if (dpi == 168 || dpi == 96) {
            // The Options dialog grows with its font: its OK button's text fits in the button.
            HWND options = (app.Key(VK_OEM_COMMA, VK_CONTROL), app.WaitForDialog());
            ASSERT_TRUE(options);
            RECT box{};
            GetWindowRect(GetDlgItem(options, IDOK), &box);
            EXPECT_GE(box.bottom - box.top, scaled(21)) << "OK's height";
            app.Shot("options-" + std::to_string(dpi * 100 / 96));
            app.Key(VK_ESCAPE);
            e2e::WaitFor([&] { return !IsWindow(options); }, 5000);
        }
        app.Click(scaled(475), scaled(24));  // the close button
        EXPECT_EQ(app.Program().WaitForExit(20000), 0);
    }
    RegCloseKey(desktop);
}
