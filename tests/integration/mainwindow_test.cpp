// The main window on screen: its shape and layout, dragging, links, and the queue list's
// row actions and drawing, driven with real mouse and keyboard messages.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <iterator>
#include <thread>

#include "form_fixture.h"
#include "framework/Application.h"
#include "framework/Unicode.h"
#include "framework/handles.h"
#include "ui/EzRgnBtn.h"
#include "ui/Tranpanl.h"

using namespace testing_support;

namespace {

RECT ClientRectOf(HWND child, HWND parent)
{
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool InWindowRegion(HWND window, int x, int y)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    bool inside = GetWindowRgn(window, region) != ERROR && PtInRegion(region, x, y);
    DeleteObject(region);
    return inside;
}

// Opening files and folders goes to a stand-in program that writes down what it was given:
// the machine-wide classes of the test's own Wine prefix, which the shell reads for both.
struct StandInOpener {
    std::string record;
    explicit StandInOpener(const std::string& folder) : record(folder + "opened.txt")
    {
        SetEnvironmentVariableA("ECHO_OUT", record.c_str());
        std::string command = "\"" + ExeFolder() + "echo_args.exe\" \"%1\"";
        for (const char* key : {"Software\\Classes\\MervaneTest.Clip\\shell\\open\\command",
                                "Software\\Classes\\Folder\\shell\\open\\command",
                                "Software\\Classes\\https\\shell\\open\\command"})
            SetDefault(key, command);
        SetDefault("Software\\Classes\\.mp4", "MervaneTest.Clip");
    }
    ~StandInOpener()
    {
        for (const char* key : {"Software\\Classes\\MervaneTest.Clip", "Software\\Classes\\Folder\\shell\\open",
                                "Software\\Classes\\.mp4", "Software\\Classes\\https\\shell\\open"})
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
        SetEnvironmentVariableA("ECHO_OUT", nullptr);
    }
    static void SetDefault(const char* key, const std::string& value)
    {
        HKEY handle = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
        RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(handle);
    }
    // What was opened since the last call, or empty after a short wait.
    std::string Opened(int waitMs = 3000)
    {
        std::string opened;
        PumpUntil([&] { return FileExists(record); }, waitMs);
        if (FileExists(record)) {
            PumpFor(100);
            std::string text = ReadFile(record);
            DeleteFileA(record.c_str());
            std::size_t start = text.find(" \"");
            std::size_t end = text.find('"', start + 2);
            if (start != std::string::npos && end != std::string::npos) opened = text.substr(start + 2, end - start - 2);
        }
        return opened;
    }
};

struct MainWindowTest : FormTest {
    std::string work = FreshFolder("window");
    const std::string earlier = work + "earlier\\";  // an output folder chosen before the last "Browse"
    void SetUp() override
    {
        StartForm();
        session->ChooseOutputFolder(work.substr(0, work.size() - 1));
        fw::Application->SetMainForm(form.get());
        form->Show();
        PumpFor(300);
    }
    void TearDown() override
    {
        fw::Application->SetMainForm(nullptr);
        FormTest::TearDown();
        RemoveTree(work);
    }
    HWND List() { return Control<fw::TListView>("FileList").Handle(); }
    RECT RowRect(int row)
    {
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessageA(List(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // A click at x in the given row, with the pointer really there.
    void ClickRow(int row, int x)
    {
        RECT r = RowRect(row);
        POINT p{x, (r.top + r.bottom) / 2};
        POINT screen = p;
        ClientToScreen(List(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageA(List(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        PumpFor(250);
    }
    void Key(WORD key)
    {
        SetFocus(List());
        PostMessageA(List(), WM_KEYDOWN, key, 1);
        PumpFor(150);
    }
    void Select(int row)
    {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    // Rows in these states, as a user gets them: converted into the earlier output folder by
    // the test encoder, a pending row failed first and tried again.
    void QueueRows(const std::vector<std::string>& states)
    {
        CreateDirectoryA(earlier.c_str(), nullptr);
        UseFakeEncoder(work);
        std::vector<int> retried;
        for (std::size_t i = 0; i < states.size(); ++i) {
            std::string path = work + "clip" + std::to_string(i) + ".mp4";
            WriteFile(path, states[i] == "Done" ? "write 10\nfinish\n" : "say why\nexit 3\n");
            QueueFile(path, 10 + static_cast<int>(i));
            if (states[i] == "Pending") retried.push_back(static_cast<int>(i));
        }
        const std::string output = session->Folders().output;
        session->ChooseOutputFolder(earlier);
        session->Start();
        PumpUntil([&] { return !Converting(); }, 30000);
        for (int row : retried) session->Queue().Retry(row);
        session->ChooseOutputFolder(output);
    }
};

}  // namespace

TEST_F(MainWindowTest, RoundShapeSurvivesMinimisingAndRestoring)
{
    HWND w = form->Handle();
    EXPECT_FALSE(InWindowRegion(w, 0, 0));
    EXPECT_FALSE(InWindowRegion(w, 502, 478));
    EXPECT_TRUE(InWindowRegion(w, 15, 15));
    EXPECT_TRUE(InWindowRegion(w, 251, 240));
    // On screen the corner shows what lies beneath, the same as just beside the window.
    RECT outer{};
    GetWindowRect(w, &outer);
    HDC screen = GetDC(nullptr);
    COLORREF corner = GetPixel(screen, outer.left, outer.top);
    COLORREF beside = GetPixel(screen, outer.left - 2, outer.top);
    COLORREF frame = GetPixel(screen, outer.left + 10, outer.top + 3);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(corner, beside);
    EXPECT_NE(corner, frame);
    const HWND minimise = Control("MinimiseButton").Handle();
    SendMessageA(minimise, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(minimise, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    PumpUntil([&] { return IsIconic(w) != FALSE; }, 10000);
    EXPECT_TRUE(IsIconic(w));
    ShowWindow(w, SW_RESTORE);
    PumpFor(300);
    EXPECT_FALSE(InWindowRegion(w, 0, 0));
    EXPECT_TRUE(InWindowRegion(w, 251, 240));
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 503);
    EXPECT_EQ(client.bottom, 479);
}

TEST_F(MainWindowTest, EveryControlLiesAtItsPlace)
{
    struct Place {
        fw::TWinControl* control;
        RECT at;
    } places[] = {
        {&Control("LogoLink"), {16, 12, 153, 42}},   {&Control("TaglineLink"), {16, 40, 249, 63}},
        {&Control("MinimiseButton"), {437, 13, 460, 36}},   {&Control("CloseButton"), {464, 13, 487, 36}},
        {&Control("FileEdit"), {16, 79, 376, 100}},       {&Control("AddFileButton"), {384, 77, 487, 102}},
        {&Control("FolderEdit"), {16, 117, 376, 138}},      {&Control("AddFolderButton"), {384, 115, 487, 140}},
        {&Control("OutputFolderEdit"), {16, 155, 376, 176}},      {&Control("BrowseButton"), {384, 153, 487, 178}},
        {&Control<fw::TListView>("FileList"), {15, 196, 488, 369}},  {&Control("ConvertButton"), {436, 384, 477, 425}},
    };
    for (const Place& p : places) {
        RECT r = ClientRectOf(p.control->Handle(), form->Handle());
        EXPECT_TRUE(EqualRect(&r, &p.at)) << p.control->Name << " at " << r.left << "," << r.top << "," << r.right
                                          << "," << r.bottom;
    }
    const char* headers[] = {"Type", "File Name (click to view)", "Progress", "Converted File (click to open)", "DEL"};
    const int widths[] = {40, 154, 92, 129, 34};
    for (int c = 0; c < 5; ++c) {
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        SendMessageA(List(), LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
        EXPECT_STREQ(text, headers[c]);
        EXPECT_EQ(Control<fw::TListView>("FileList").ColumnWidth(c), widths[c]);
    }
    EXPECT_EQ(Control<fw::TLabel>("SupportLink").Caption(), "Support");
    EXPECT_EQ(Control<fw::TLabel>("ListCaption").Caption(), "Files to convert (DEL to remove selected file from the list)");
    EXPECT_TRUE(Control<fw::TLabel>("TargetLabel").Bold());
    EXPECT_FALSE(Control<fw::TLabel>("FileCaption").Bold());
    EXPECT_EQ(Control("MinimiseButton").Hint, "Minimize");
    EXPECT_EQ(Control("CloseButton").Hint, "Close");
}

TEST_F(MainWindowTest, LinkLabelsUnderlineWhileThePointerIsOnThem)
{
    PostMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(390, 20));
    PumpFor(100);
    EXPECT_TRUE(Control<fw::TLabel>("SupportLink").Underline());
    EXPECT_TRUE(Control<fw::TLabel>("SupportLink").Bold());
    PostMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(250, 430));
    PumpFor(100);
    EXPECT_FALSE(Control<fw::TLabel>("SupportLink").Underline());
    EXPECT_TRUE(Control<fw::TLabel>("SupportLink").Bold());
}

TEST_F(MainWindowTest, ALinkOpensOnceForADoubleClickAndNotForAPressElsewhere)
{
    StandInOpener opener(work);
    const std::string log = work + "opens.log";
    SetEnvironmentVariableA("ECHO_LOG", log.c_str());
    auto screenPoint = [&](const fw::TLabel* label) {
        POINT p{label->Left() + 4, label->Top() + 4};
        ClientToScreen(form->Handle(), &p);
        return p;
    };
    auto button = [](DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof input);
        PumpFor(30);
    };
    auto opens = [&] {
        PumpFor(1500);
        std::string text = FileExists(log) ? ReadFile(log) : "";
        int count = 0;
        for (std::size_t at = text.find("start "); at != std::string::npos; at = text.find("start ", at + 1)) ++count;
        DeleteFileA(log.c_str());
        return count;
    };
    POINT link = screenPoint(&Control<fw::TLabel>("SupportLink"));
    SetCursorPos(link.x, link.y);
    for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) button(flags);
    EXPECT_EQ(opens(), 1) << "a double click";

    POINT plain = screenPoint(&Control<fw::TLabel>("FileCaption"));  // a label that is no link
    SetCursorPos(plain.x, plain.y);
    button(MOUSEEVENTF_LEFTDOWN);
    SetCursorPos(link.x, link.y);
    PumpFor(50);
    button(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(opens(), 0) << "pressed elsewhere, released over the link";
    SetEnvironmentVariableA("ECHO_LOG", nullptr);
}

TEST_F(MainWindowTest, LeftButtonOnThePicturesDragsTheWindowAndTheRightDoesNot)
{
    RECT before{};
    GetWindowRect(form->Handle(), &before);
    POINT grab{before.left + 250, before.top + 432};  // the background, below the list
    auto drag = [&](DWORD down, DWORD up) {
        SetCursorPos(grab.x, grab.y);
        PumpFor(100);
        std::thread mover([&] {
            mouse_event(down, 0, 0, 0, 0);
            Sleep(300);
            for (int i = 1; i <= 10; ++i) {
                SetCursorPos(grab.x + 4 * i, grab.y + 3 * i);
                mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
                Sleep(30);
            }
            Sleep(200);
            mouse_event(up, 0, 0, 0, 0);
        });
        PumpFor(1500);
        mover.join();
        PumpFor(200);
    };
    drag(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    RECT afterRight{};
    GetWindowRect(form->Handle(), &afterRight);
    EXPECT_TRUE(EqualRect(&before, &afterRight)) << "the right button does not drag";
    drag(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    RECT afterLeft{};
    GetWindowRect(form->Handle(), &afterLeft);
    EXPECT_EQ(afterLeft.left - before.left, 40);
    EXPECT_EQ(afterLeft.top - before.top, 30);
}

TEST_F(MainWindowTest, ClickBandsActByStateAndFollowResizedColumns)
{
    StandInOpener opener(work);
    QueueRows({"Done", "Pending", "Failed", "Pending"});
    const std::string clip1 = session->Queue().Path(1);

    ClickRow(0, 430);  // the "X" of a done row
    EXPECT_EQ(session->Queue().Count(), 4);
    ClickRow(1, 330);  // the converted column of a pending row
    EXPECT_EQ(session->Queue().Count(), 4);
    EXPECT_EQ(opener.Opened(800), "");
    ClickRow(1, 286);  // exactly on the border of the progress and converted columns
    EXPECT_EQ(opener.Opened(800), "");
    ClickRow(0, 330);  // "MPG" of a done row opens the folder it was written to, not today's
    EXPECT_EQ(opener.Opened(), earlier);
    ClickRow(1, 100);  // a name opens the input file
    EXPECT_EQ(opener.Opened(), clip1);
    ClickRow(2, 100);  // also the name of a failed row
    EXPECT_EQ(opener.Opened(), work + "clip2.mp4");

    {
        DialogWatcher dialogs;
        ClickRow(2, 220);  // "Failed" says why
        ASSERT_EQ(dialogs.Count(), 1);
        EXPECT_EQ(dialogs.Seen_()[0].text, session->ReasonMessage(2));
    }
    ClickRow(1, 430);  // the "X" of a pending row
    EXPECT_EQ(session->Queue().Count(), 3);
    EXPECT_EQ(session->Queue().Path(1), work + "clip2.mp4") << "the rows below keep their own paths";
    EXPECT_EQ(session->Queue().MediaSeconds(1), 12);
    EXPECT_EQ(session->Queue().Path(2), work + "clip3.mp4");
    ClickRow(1, 430);  // the "X" of a failed row
    EXPECT_EQ(session->Queue().Count(), 2);
    EXPECT_EQ(session->Queue().Path(1), work + "clip3.mp4");

    SendMessageA(List(), LVM_SETCOLUMNWIDTH, 1, 254);
    PumpFor(100);
    ClickRow(1, 220);  // was the progress column, now the name
    EXPECT_EQ(opener.Opened(), work + "clip3.mp4");
}

TEST_F(MainWindowTest, DeleteKeyRemovesTheSelectedRowWhateverItsState)
{
    QueueRows({"Done", "Failed", "Pending"});
    Key(VK_DELETE);  // nothing selected
    EXPECT_EQ(session->Queue().Count(), 3);
    Select(0);
    Key('A');
    EXPECT_EQ(session->Queue().Count(), 3);
    Key(VK_DELETE);
    EXPECT_EQ(session->Queue().Count(), 2);
    EXPECT_EQ(session->Queue().State(0), queue::RowState::Failed);
    Select(0);
    Key(VK_DELETE);
    EXPECT_EQ(session->Queue().State(0), queue::RowState::Pending);
}

TEST_F(MainWindowTest, NothingChangesDuringAConversion)
{
    StandInOpener opener(work);
    QueueRows({"Done", "Failed"});
    KeepConverting(work);
    ClickRow(1, 430);
    ClickRow(0, 330);
    ClickRow(1, 100);
    Select(0);
    Key(VK_DELETE);
    EXPECT_EQ(session->Queue().Count(), 3);
    EXPECT_EQ(opener.Opened(800), "");
}

TEST_F(MainWindowTest, LinkColumnsAreDrawnBlueAndUnderlinedProgressBlackAndFailedRed)
{
    QueueRows({"Done", "Pending", "Failed"});
    InvalidateRect(List(), nullptr, TRUE);
    PumpFor(300);
    HDC dc = GetDC(List());
    auto cell = [&](int row, int left, int right) {
        RECT r = RowRect(row);
        int blue = 0, black = 0, longestBlueRun = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            int run = 0;
            for (int x = left + 2; x < right - 2; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                if (c == RGB(0, 0, 255)) {
                    ++blue;
                    longestBlueRun = std::max(longestBlueRun, ++run);
                } else {
                    run = 0;
                    if (c == RGB(0, 0, 0)) ++black;
                }
            }
        }
        return std::tuple<int, int, int>{blue, black, longestBlueRun};
    };
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), 0);  // nothing selected: true colours
    for (int row : {0, 1}) {
        auto [nameBlue, nameBlack, nameRun] = cell(row, 40, 194);
        auto [progressBlue, progressBlack, progressRun] = cell(row, 194, 286);
        auto [delBlue, delBlack, delRun] = cell(row, 415, 449);
        EXPECT_GT(nameBlue, 10) << row;
        EXPECT_GE(nameRun, 8) << "underlined, row " << row;
        EXPECT_EQ(progressBlue, 0) << row;
        EXPECT_GT(progressBlack, 10) << row;
        EXPECT_GT(delBlue, 3) << row;
    }
    RECT failed = RowRect(2);
    int red = 0;
    for (int y = failed.top; y < failed.bottom; ++y)
        for (int x = 196; x < 257; ++x) red += GetPixel(dc, x, y) == RGB(204, 0, 0);
    EXPECT_GT(red, 10) << "\"Failed\" in red";
    auto [convertedBlue, convertedBlack, convertedRun] = cell(0, 286, 415);
    EXPECT_GT(convertedBlue, 10);
    EXPECT_GE(convertedRun, 8);
    ReleaseDC(List(), dc);
}

TEST_F(MainWindowTest, DeleteRemovesEverySelectedRowAndNoOther)
{
    QueueRows({"Pending", "Failed", "Done", "Pending", "Pending"});
    Select(1);
    Select(3);
    Key(VK_DELETE);
    ASSERT_EQ(session->Queue().Count(), 3);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(session->Queue().Path(row), work + "clip" + std::to_string(row * 2) + ".mp4");
}

namespace {

// What a screen reader reads as a window's name, through the accessibility interface.
std::string AccessibleName(HWND window)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
        return "(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;  // CHILDID_SELF
    BSTR name = nullptr;
    const std::string text = object->get_accName(self, &name) == S_OK && name ? fw::Narrow(name) : "(no name)";
    SysFreeString(name);
    object->Release();
    return text;
}

}  // namespace

TEST_F(MainWindowTest, EveryControlHasTheNameAScreenReaderReads)
{
    const std::pair<fw::TWinControl*, const char*> named[] = {
        {&Control("MinimiseButton"), "Minimise"},        {&Control("CloseButton"), "Close"},      {&Control("ConvertButton"), "Convert to MPEG"},
        {&Control<fw::TListView>("FileList"), "Files to convert"}, {&Control("AddFileButton"), "Add MP4 File"}, {&Control("AddFolderButton"), "Add Folder"},
        {&Control("BrowseButton"), "Browse"},
        // an edit by the static text just before it in the window order
        {&Control("FileEdit"), "Select single MP4 file"}, {&Control("FolderEdit"), "Select folder containing MP4 files"},
        {&Control("OutputFolderEdit"), "Select output folder"}};
    for (const auto& [control, name] : named) {
        HWND window = control->Handle();
        if (dynamic_cast<fw::TEdit*>(control)) {
            EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & ES_READONLY) << "shown, not typed in: " << name;
            window = GetWindow(window, GW_HWNDPREV);
            char kind[16] = {};
            GetClassNameA(window, kind, sizeof kind);
            EXPECT_STREQ(kind, "Static") << name;
        }
        EXPECT_EQ(AccessibleName(window), name);
    }
}

TEST_F(MainWindowTest, UnderHighContrastEveryTextIsInTheSystemColoursAndTheSettingIsFollowed)
{
    QueueRows({"Done", "Failed"});
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), 0);
    // High Contrast Black's colours, and the setting switched on while the window runs.
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HOTLIGHT, COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF white = RGB(255, 255, 255), yellow = RGB(255, 255, 0), black = RGB(0, 0, 0);
    const COLORREF contrast[] = {black, white, yellow, black, white};
    COLORREF standard[std::size(elements)];
    for (std::size_t i = 0; i < std::size(elements); ++i) standard[i] = GetSysColor(elements[i]);
    const auto setting = fw::HighContrastSetting;
    bool on = true;
    fw::HighContrastSetting = [&] { return on; };
    fw::scope_exit restore([&] {
        SetSysColors(static_cast<int>(std::size(elements)), elements, standard);
        fw::HighContrastSetting = setting;
    });
    SetSysColors(static_cast<int>(std::size(elements)), elements, contrast);

    // How many pixels of a colour a rectangle of a window shows.
    auto count = [](HWND window, RECT r, COLORREF colour) {
        HDC dc = GetDC(window);
        int found = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) found += GetPixel(dc, x, y) == colour;
        ReleaseDC(window, dc);
        return found;
    };
    const fw::TBounds& link = Control<fw::TLabel>("SupportLink").Bounds();
    const RECT name = RowRect(0), failed = RowRect(1);
    auto expectColours = [&](COLORREF text, COLORREF linkColour, COLORREF listLink, COLORREF face, COLORREF state) {
        SendMessageA(form->Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        PumpFor(400);
        EXPECT_GT(count(GetWindow(Control("FileEdit").Handle(), GW_HWNDPREV), {0, 0, 90, 13}, text), 10) << "a caption";
        EXPECT_GT(count(form->Handle(), {link.left, link.top, link.left + link.width, link.top + link.height}, linkColour), 10);
        EXPECT_GT(count(form->Handle(), {250, 380, 270, 390}, face), 150) << "the window's face";
        EXPECT_GT(count(List(), {45, name.top, 190, name.bottom}, listLink), 10) << "a link column";
        EXPECT_GT(count(List(), {196, failed.top, 257, failed.bottom}, state), 10) << "a failed row's state";
    };
    expectColours(white, yellow, yellow, black, white);
    SaveScreenshot("window-high-contrast");
    on = false;  // switched off again: the window's own look
    expectColours(black, black, RGB(0, 0, 255), RGB(220, 220, 220), RGB(204, 0, 0));
}

TEST_F(MainWindowTest, MovedToA200PercentDisplayTheWindowTakesTheSuggestedRectangleAndRedrawsItsParts)
{
    RECT suggested{10, 20, 10 + 1006, 20 + 958}, frame{};
    SendMessageA(form->Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    PumpFor(300);
    GetWindowRect(form->Handle(), &frame);
    EXPECT_TRUE(EqualRect(&frame, &suggested));
    const RECT button = ClientRectOf(Control("AddFileButton").Handle(), form->Handle()), doubled{768, 154, 974, 204};
    EXPECT_TRUE(EqualRect(&button, &doubled));
    EXPECT_EQ(Control<fw::TListView>("FileList").ColumnWidth(1), 308);
    LOGFONTA font{};
    GetObjectA(form->Font(), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -22);
    EXPECT_FALSE(InWindowRegion(form->Handle(), 8, 8)) << "the corners rounded at the new scale";
    EXPECT_TRUE(InWindowRegion(form->Handle(), 30, 30));
    EXPECT_EQ(Control("ConvertButton").Width(), 82) << "the 200 % picture, and its shape";
    EXPECT_FALSE(InWindowRegion(Control("ConvertButton").Handle(), 1, 1));
    EXPECT_TRUE(InWindowRegion(Control("ConvertButton").Handle(), 78, 41));
}
