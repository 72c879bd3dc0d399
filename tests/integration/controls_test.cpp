// The image button and the transparent panel on a window of their own, with mouse messages.
#include <gtest/gtest.h>

#include <thread>

#include "framework/Application.h"
#include "framework/errors.h"
#include "framework/handles.h"
#include "support.h"
#include "ui/EzRgnBtn.h"
#include "ui/Tranpanl.h"

using namespace testing_support;

namespace {

constexpr COLORREF kKey = RGB(220, 220, 220);
constexpr COLORREF kIdle = RGB(200, 0, 0);
constexpr COLORREF kUp = RGB(0, 160, 0);
constexpr COLORREF kDown = RGB(0, 0, 200);

// A filled bitmap with key-coloured corners and, for the taller one, key-coloured bottom rows.
HBITMAP MakePicture(int width, int height, COLORREF fill)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, width, height};
    HBRUSH key = CreateSolidBrush(kKey);
    FillRect(dc, &all, key);
    DeleteObject(key);
    RECT inner{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &inner, brush);
    DeleteObject(brush);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 3 - x; ++y) {
            SetPixel(dc, x, y, kKey);
            SetPixel(dc, width - 1 - x, y, kKey);
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

class TestForm : public fw::TForm {
public:
    TestForm() : fw::TForm(nullptr, "TMervaneTestForm")
    {
        Color = RGB(250, 250, 250);
        SetBounds({100, 100, 300, 200});
        Show();
    }
};

struct ButtonTest : ::testing::Test {
    TestForm form;
    TEzRgnBtn* button = nullptr;
    TPicture idle;
    int clicks = 0;

    void SetUp() override
    {
        button = fw::Create<TEzRgnBtn>(&form, &form);
        button->SetBounds({50, 50, 41, 41});
        Give(true);
        button->OnClick = [this](fw::TComponent*) { ++clicks; };
        PumpFor(100);
    }
    // The three pictures, the pressed one two rows taller; or without a hover picture.
    void Give(bool hover)
    {
        HBITMAP idleBitmap = MakePicture(41, 41, kIdle), up = MakePicture(41, 41, kUp), down = MakePicture(41, 43, kDown);
        idle.Assign(idleBitmap);
        button->SetPictures(idleBitmap, hover ? up : nullptr, down);
        for (HBITMAP b : {idleBitmap, up, down}) DeleteObject(b);
    }
    void Send(UINT msg, int x, int y, WPARAM keys = 0)
    {
        SendMessageA(button->Handle(), msg, keys, MAKELPARAM(static_cast<short>(x), static_cast<short>(y)));
    }
    COLORREF Shown(int x = 20, int y = 20)
    {
        PumpFor(50);
        HDC dc = GetDC(button->Handle());
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(button->Handle(), dc);
        return colour;
    }
    bool InRegion(int x, int y)
    {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        bool inside = GetWindowRgn(button->Handle(), region) != ERROR && PtInRegion(region, x, y);
        DeleteObject(region);
        return inside;
    }
};

}  // namespace

TEST_F(ButtonTest, HoverShowsTheHoverPictureAndPressingThePressedOne)
{
    EXPECT_EQ(Shown(), kIdle);
    Send(WM_MOUSEMOVE, 20, 20);
    EXPECT_EQ(button->State(), ButtonState::Hover);
    EXPECT_EQ(Shown(), kUp);
    Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(Shown(), kDown);
    EXPECT_EQ(button->Height(), 41) << "painting never resizes the button";
    EXPECT_FALSE(InRegion(20, 42)) << "the idle picture's shape hides the extra rows";
    Send(WM_LBUTTONUP, 20, 20);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Shown(), kUp);
    Give(false);  // without a hover picture, the idle one
    EXPECT_EQ(Shown(), kIdle);
}

TEST_F(ButtonTest, ReleasingOutsideReportsNoClickAndShowsIdleWhileOff)
{
    Send(WM_MOUSEMOVE, 20, 20);
    Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    Send(WM_MOUSEMOVE, -30, -30, MK_LBUTTON);
    EXPECT_EQ(button->State(), ButtonState::PressedAway);
    EXPECT_EQ(Shown(), kIdle);
    Send(WM_MOUSEMOVE, 20, 20, MK_LBUTTON);
    EXPECT_EQ(Shown(), kDown) << "back over the button, pressed again";
    Send(WM_MOUSEMOVE, -30, -30, MK_LBUTTON);
    Send(WM_LBUTTONUP, -30, -30);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->State(), ButtonState::Idle);
}

TEST_F(ButtonTest, DoubleClickIsOneClickAndADisabledButtonNone)
{
    Send(WM_MOUSEMOVE, 20, 20);
    Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    Send(WM_LBUTTONUP, 20, 20);
    Send(WM_LBUTTONDBLCLK, 20, 20, MK_LBUTTON);
    EXPECT_EQ(Shown(), kUp) << "the second press shows no pressed picture";
    Send(WM_LBUTTONUP, 20, 20);
    EXPECT_EQ(clicks, 1);
    button->SetEnabled(false);
    EXPECT_TRUE(IsWindowEnabled(button->Handle())) << "the window itself stays enabled";
    Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(Shown(), kIdle);
    Send(WM_LBUTTONUP, 20, 20);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, EveryKeyColouredPixelLiesOutsideTheWindow)
{
    int keyPixels = 0;
    for (int x = 0; x < idle.Width(); ++x)
        for (int y = 0; y < idle.Height(); ++y) {
            bool key = idle.Pixel(x, y) == kKey;
            keyPixels += key;
            EXPECT_EQ(InRegion(x, y), !key) << x << "," << y;
        }
    EXPECT_EQ(keyPixels, 12);
}

TEST(TranPanel, InvisibleClickAreaWithAnOptionalFrame)
{
    TestForm form;
    auto* panel = fw::Create<TTranPanel>(&form, &form);
    EXPECT_EQ(panel->Width(), 185);
    EXPECT_EQ(panel->Height(), 41);
    panel->SetBounds({20, 20, 100, 40});
    int clicks = 0;
    panel->OnClick = [&](fw::TComponent*) { ++clicks; };
    PumpFor(150);
    auto pixel = [&](int x, int y) {
        PumpFor(100);
        HDC dc = GetDC(form.Handle());
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(form.Handle(), dc);
        return colour;
    };
    EXPECT_EQ(pixel(20, 20), RGB(250, 250, 250)) << "what lies beneath shows through";
    EXPECT_EQ(pixel(60, 40), RGB(250, 250, 250));
    panel->SetBorder(true);
    EXPECT_EQ(pixel(20, 20), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixel(60, 40), RGB(250, 250, 250));
    panel->SetBorder(false);
    EXPECT_EQ(pixel(20, 20), RGB(250, 250, 250));

    HWND h = panel->Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}

TEST_F(ButtonTest, AnErrorRaisedByTheClickLeavesTheButtonDrawnReleased)
{
    button->OnClick = [](fw::TComponent*) { throw fw::Exception("the click failed"); };
    Send(WM_MOUSEMOVE, 20, 20);
    Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    DialogWatcher errorDisplay;
    Send(WM_LBUTTONUP, 20, 20);
    EXPECT_EQ(errorDisplay.Count(), 1);
    EXPECT_EQ(Shown(), kUp);
}

TEST(Regions, ARegionTheWindowDidNotTakeIsDeleted)
{
    HRGN region = CreateRectRgn(0, 0, 10, 10);
    EXPECT_FALSE(fw::SetWindowRegion(nullptr, fw::unique_hrgn(region)));
    EXPECT_EQ(GetObjectType(region), 0u);
}

namespace {

LRESULT CALLBACK EndsTheLoop(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_USER + 7) fw::Application->Terminate();
    return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

TEST(MessageLoop, AMessageAlreadySeenByAPeekDoesNotWaitInTheQueue)
{
    HWND window = MakeTestWindow("MervaneLoopProbe", &EndsTheLoop, WS_POPUP);
    // A watched handle whose callback posts the message and peeks at it, as any handler may.
    fw::unique_handle signalled(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    fw::Application->WatchHandle(signalled.get(), [window] {
        PostMessageA(window, WM_USER + 7, 0, 0);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    });
    // Should the loop sleep with the message in its queue, the message comes again at 20 s.
    fw::unique_handle ended(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread rescue([window, &ended] {
        if (WaitForSingleObject(ended.get(), 20000) == WAIT_TIMEOUT) PostMessageA(window, WM_USER + 7, 0, 0);
    });
    const DWORD start = GetTickCount();
    fw::Application->Run();
    const DWORD took = GetTickCount() - start;
    SetEvent(ended.get());
    rescue.join();
    EXPECT_LT(took, 10000u) << "the loop slept with the message in its queue";
    DestroyWindow(window);
    PumpFor(50);
}
