// End to end: the built Mervane.exe on a virtual display, driven only through its window
// and the system dialogs, as a person would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/AppLogic.h"
#include "app/Settings.h"
#include "framework/Files.h"
#include "framework/handles.h"
#include "driver.h"
#include "../integration/support.h"

using namespace testing_support;
using e2e::Driver;
using e2e::Row;
using e2e::WaitFor;

namespace {

// Where the main window's controls are, in client coordinates.
constexpr POINT kAddFile{435, 89}, kAddFolder{435, 127}, kBrowse{435, 165}, kOutputBox{100, 165};
constexpr POINT kConvert{456, 404}, kClose{475, 24}, kMinimise{448, 24}, kBackground{250, 432};
constexpr int kListTop = 196, kRowHeight = 17, kHeaderHeight = 22;

POINT Cell(int row, int x) { return {15 + x, kListTop + kHeaderHeight + row * kRowHeight + kRowHeight / 2}; }

int EncodersRunning() { return RunningProcesses("ffmpeg.exe"); }

std::string MediaSummary(const std::string& file)
{
    std::string tool = "\"";
    tool += PayloadFolder() + "mediainfo.exe\" ";
    return RunAndCapture(tool + "\"--Inform=General;%Format%\" \"" + file + "\"") +
           RunAndCapture(tool + "\"--Inform=Video;%Format%|%Format_Version%|%FrameRate%\" \"" + file + "\"") +
           RunAndCapture(tool + "\"--Inform=Audio;%Format%|%Format_Profile%|%SamplingRate%|%Channel(s)%\" \"" + file + "\"");
}

void ExpectMpegProgramStream(const std::string& file)
{
    std::string summary = MediaSummary(file);
    EXPECT_NE(summary.find("MPEG-PS"), std::string::npos) << summary;
    EXPECT_NE(summary.find("MPEG Video|Version 1|25.000"), std::string::npos) << summary;
    EXPECT_NE(summary.find("MPEG Audio|Layer 2|44100|2"), std::string::npos) << summary;
}

// Adds one file through the open dialog: the path is typed and confirmed.
void AddFile(Driver& app, const std::string& path)
{
    app.Click(kAddFile.x, kAddFile.y);
    HWND dialog = app.WaitForDialog();
    ASSERT_TRUE(dialog) << "the open dialog";
    app.Type(path);
    app.Key(VK_RETURN);
    WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
}

void AddFolder(Driver& app, const std::string& folder)
{
    app.Click(kAddFolder.x, kAddFolder.y);
    HWND browser = app.WaitForDialog();
    ASSERT_TRUE(browser) << "the folder browser";
    app.ChooseFolder(browser, folder);
}

void ChooseOutputFolder(Driver& app, const std::string& folder)
{
    app.Click(kBrowse.x, kBrowse.y);
    HWND browser = app.WaitForDialog();
    ASSERT_TRUE(browser) << "the folder browser";
    app.ChooseFolder(browser, folder);
}

// Converts the queue, recording every progress text each row shows, until all rows have ended.
std::vector<std::vector<std::string>> Convert(Driver& app, int timeoutMs = 240000, const char* shot = nullptr)
{
    std::vector<std::vector<std::string>> seen(app.Rows().size());
    int most = 0;
    bool shotTaken = false;
    app.Click(kConvert.x, kConvert.y);
    WaitFor(
        [&] {
            std::vector<Row> rows = app.Rows();
            most = std::max(most, EncodersRunning());
            bool busy = false;
            for (std::size_t i = 0; i < rows.size() && i < seen.size(); ++i) {
                if (seen[i].empty() || seen[i].back() != rows[i].progress) seen[i].push_back(rows[i].progress);
                busy |= rows[i].progress == "Pending" || rows[i].progress.find("% Done") != std::string::npos;
                if (shot && !shotTaken && rows[i].progress.find("% Done") != std::string::npos) {
                    app.Shot(shot);
                    shotTaken = true;
                }
            }
            return !busy;
        },
        timeoutMs);
    EXPECT_LE(most, 2) << "at most as many encoders at once as the machine's share (two here)";
    return seen;
}

struct EndToEnd : ::testing::Test {
    std::string work = FreshFolder("e2e");
    // Two long clips, converted into the work folder: the command line that queues them.
    std::string TwoLongClips()
    {
        MakeLongClip(work + "long.mp4");
        CopyFileA((work + "long.mp4").c_str(), (work + "second.mp4").c_str(), FALSE);
        WriteSetting("WorkDir", work);
        return "\"" + work + "long.mp4\" \"" + work + "second.mp4\"";
    }
    void SetUp() override { DeleteSettings(); }
    void TearDown() override
    {
        RemoveTree(work);
        DeleteSettings();
    }
};

}  // namespace

TEST_F(EndToEnd, TypicalFileFromFirstStartToDone)
{
    const std::string workDir = app::ProgramFolderUnder(GetPersonalFolder(), fw::IsLeadByte);
    RemoveTree(workDir);
    MakeClip(work + "a.mp4", 40, "640x360");  // long enough for the row to show its progress

    Driver app;
    ASSERT_TRUE(app.Window());
    std::string stored;
    const std::string tools = app::ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte);
    EXPECT_TRUE(ReadSetting("WorkDir", stored) && stored == workDir) << "first start writes the output folder";
    EXPECT_TRUE(DirectoryExists(tools)) << "and makes the tool folder";
    EXPECT_TRUE(DirectoryExists(workDir));
    EXPECT_EQ(app.EditText(kOutputBox.x, kOutputBox.y), workDir);
    app.Shot("e2e-01-started");

    AddFile(app, work + "a.mp4");
    ASSERT_TRUE(WaitFor([&] { return app.Rows().size() == 1; }, 30000));
    Row queued = app.Rows()[0];
    EXPECT_EQ(queued.type, "MP4");
    EXPECT_EQ(queued.name, "a");
    EXPECT_EQ(queued.progress, "Pending");
    EXPECT_EQ(queued.converted, "");
    EXPECT_EQ(queued.del, "X");
    app.Shot("e2e-02-queued");

    auto seen = Convert(app, 240000, "e2e-03-converting");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].front(), "Pending");
    EXPECT_TRUE(std::any_of(seen[0].begin(), seen[0].end(),
                            [](const std::string& s) { return s.find("% Done") != std::string::npos; }));
    Row done = app.Rows()[0];
    EXPECT_EQ(done.progress, "Done");
    EXPECT_EQ(done.converted, "MPG");
    app.Shot("e2e-04-done");
    ExpectMpegProgramStream(workDir + "a.mpg");

    // The window goes where it is dragged, and minimises.
    RECT before{};
    GetWindowRect(app.Window(), &before);
    app.Press(kBackground.x, kBackground.y);
    POINT grab = kBackground;
    ClientToScreen(app.Window(), &grab);
    for (int i = 1; i <= 10; ++i) app.MoveToScreen({grab.x + 3 * i, grab.y + 2 * i});
    app.Release();
    PumpFor(300);
    RECT after{};
    GetWindowRect(app.Window(), &after);
    EXPECT_EQ(after.left - before.left, 30);
    EXPECT_EQ(after.top - before.top, 20);

    // DEL removes the finished row once it is selected.
    POINT name = Cell(0, 100);
    app.MoveTo(name.x, name.y);
    HWND list = FindWindowExA(app.Window(), nullptr, "SysListView32", nullptr);
    SetForegroundWindow(app.Window());
    SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    POINT progress = Cell(0, 220);
    app.Click(progress.x, progress.y);  // the progress column selects and does nothing else
    SetFocus(list);
    app.Key(VK_DELETE);
    EXPECT_TRUE(WaitFor([&] { return app.Rows().empty(); }, 5000)) << "DEL removes the row";

    app.Click(kMinimise.x, kMinimise.y);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(app.Window()) != FALSE; }, 5000));
    ShowWindow(app.Window(), SW_RESTORE);
    PumpFor(300);

    app.Click(kClose.x, kClose.y);
    EXPECT_EQ(app.Program().WaitForExit(20000), 0);
    EXPECT_FALSE(FileExists(tools + "ffmpeg.exe"));
}

TEST_F(EndToEnd, OutputFolderChosenWithBrowseIsRememberedAtTheNextStart)
{
    const std::string chosen = work.substr(0, work.size() - 1);
    {
        Driver app;
        ChooseOutputFolder(app, chosen);
        EXPECT_EQ(app.EditText(kOutputBox.x, kOutputBox.y), chosen);
        app.Click(kClose.x, kClose.y);
        EXPECT_EQ(app.Program().WaitForExit(20000), 0);
    }
    Driver again;
    EXPECT_EQ(again.EditText(kOutputBox.x, kOutputBox.y), chosen);
    std::string stored;
    EXPECT_TRUE(ReadSetting("WorkDir", stored));
    EXPECT_EQ(stored, chosen);
    again.Click(kClose.x, kClose.y);
    EXPECT_EQ(again.Program().WaitForExit(20000), 0);
}

TEST_F(EndToEnd, FilesOnTheCommandLineAndFromASecondStartAreQueued)
{
    MakeClip(work + "clip.mp4", 1);
    const std::string clip = ReadFile(work + "clip.mp4");
    const std::string folder = work + "my clips";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"\\f1.mp4", "\\f2.mp4"}) WriteFile(folder + name, clip);
    WriteFile(work + "later one.mp4", clip);

    Driver first("\"" + work + "clip.mp4\" \"" + folder + "\"");
    ASSERT_TRUE(WaitFor([&] { return first.Rows().size() == 3; }, 30000)) << "a file and a folder from the command line";
    EXPECT_EQ(first.Rows()[0].name, "clip");
    EXPECT_EQ(first.Rows()[1].progress, "Pending");
    ShowWindow(first.Window(), SW_MINIMIZE);
    WaitFor([&] { return IsIconic(first.Window()) != FALSE; }, 5000);

    // "Open with" while the first copy runs: a second copy hands the file over and ends.
    RunningProgram second("\"" + work + "later one.mp4\"");
    EXPECT_EQ(second.WaitForExit(30000), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(first.Window()); }, 5000)) << "the first copy comes to the front";
    ASSERT_TRUE(WaitFor([&] { return first.Rows().size() == 4; }, 30000));
    EXPECT_EQ(first.Rows()[3].name, "later one");
    first.Shot("e2e-08-open-with");
    first.Click(kClose.x, kClose.y);
    EXPECT_EQ(first.Program().WaitForExit(20000), 0);
}

TEST_F(EndToEnd, CloseButtonDuringAConversionStopsTheEncoderAndCleansUp)
{
    MakeLongClip(work + "long.mp4");
    CopyFileA((work + "long.mp4").c_str(), (work + "other.mp4").c_str(), FALSE);
    WriteFile(work + "long.mpg", "an earlier good file");
    Driver app;
    ChooseOutputFolder(app, work.substr(0, work.size() - 1));
    AddFile(app, work + "long.mp4");
    AddFile(app, work + "other.mp4");
    ASSERT_TRUE(WaitFor([&] { return app.Rows().size() == 2; }, 30000));
    const std::string tools = app::ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte);
    app.Click(kConvert.x, kConvert.y);
    auto converting = [&](int row) { return app.Rows()[row].progress.find("% Done") != std::string::npos; };
    ASSERT_TRUE(WaitFor([&] { return converting(0) && converting(1); }, 60000)) << "both at once";
    app.Shot("e2e-09-before-close");
    app.Click(kClose.x, kClose.y);
    EXPECT_EQ(app.Program().WaitForExit(20000), 0);
    EXPECT_TRUE(WaitFor([] { return EncodersRunning() == 0; }, 5000)) << "the encoder is stopped";
    for (const char* name : {"ffmpeg.exe", "mediainfo.exe", "fonts\\DejaVuSans.ttf"}) EXPECT_FALSE(FileExists(tools + name));
    EXPECT_EQ(ReadFile(work + "long.mpg"), "an earlier good file") << "no half file takes the output's name";
    EXPECT_FALSE(FileExists(work + "long.~00")) << "nor is it left under its temporary name";
    EXPECT_FALSE(FileExists(work + "other.~00"));
    EXPECT_FALSE(FileExists(work + "other.mpg"));
}

TEST_F(EndToEnd, CopiesStartedTogetherMakeOneWindowWithEachFileOnce)
{
    MakeClip(work + "clip.mp4", 1);
    const std::string clip = ReadFile(work + "clip.mp4");
    std::vector<std::string> names;
    for (int i = 1; i <= 7; ++i) {
        names.push_back("burst " + std::to_string(i));
        WriteFile(work + names.back() + ".mp4", clip);
    }
    // As Explorer's "Open with" on several files: one copy per file, all at once.
    auto startTogether = [&](int from, int to) {
        std::vector<std::unique_ptr<RunningProgram>> copies;
        for (int i = from; i < to; ++i) copies.push_back(std::make_unique<RunningProgram>("\"" + work + names[i] + ".mp4\""));
        return copies;
    };
    auto queuedNames = [](Driver& app) {
        std::vector<std::string> queued;
        for (const Row& row : app.Rows()) queued.push_back(row.name);
        std::sort(queued.begin(), queued.end());
        return queued;
    };

    std::vector<std::unique_ptr<RunningProgram>> copies = startTogether(0, 4);  // none running yet
    ASSERT_TRUE(WaitFor([&] { return std::count_if(copies.begin(), copies.end(), [](auto& c) { return c->Running(); }) == 1; },
                        60000));
    auto running = std::find_if(copies.begin(), copies.end(), [](auto& c) { return c->Running(); });
    Driver app(std::move(*running));
    copies.erase(running);
    for (auto& copy : copies) EXPECT_EQ(copy->WaitForExit(), 0) << "handed over";
    ASSERT_TRUE(app.Window());
    WaitFor([&] { return app.Rows().size() >= 4; }, 60000);
    EXPECT_EQ(queuedNames(app), std::vector<std::string>(names.begin(), names.begin() + 4));

    copies = startTogether(4, 7);  // while one runs
    for (auto& copy : copies) EXPECT_EQ(copy->WaitForExit(), 0) << "handed over";
    WaitFor([&] { return app.Rows().size() >= 7; }, 60000);
    EXPECT_EQ(queuedNames(app), names) << "every file once";
    app.Click(kClose.x, kClose.y);
    EXPECT_EQ(app.Program().WaitForExit(20000), 0);
}

TEST_F(EndToEnd, FilesHandedOverWhileTheStartUpMessageIsUpAreQueuedAfterIt)
{
    MakeClip(work + "own.mp4", 1);
    WriteFile(work + "handed.mp4", ReadFile(work + "own.mp4"));
    // A tool file that another program holds and that is not whole: the start-up says so.
    const std::string tools = app::ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte);
    CreateDirectoryA(tools.c_str(), nullptr);
    SetFileAttributesA((tools + "ffmpeg.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    fw::unique_handle held(CreateFileA((tools + "ffmpeg.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);

    auto first = std::make_unique<RunningProgram>("\"" + work + "own.mp4\"");
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindDialogOf(first->ProcessId())) != nullptr; }, 60000));
    RunningProgram second("\"" + work + "handed.mp4\"");
    EXPECT_EQ(second.WaitForExit(), 0);
    held.reset();
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    Driver app(std::move(first));
    ASSERT_TRUE(WaitFor([&] { return app.Rows().size() == 2; }, 60000));
    EXPECT_EQ(app.Rows()[0].name, "own");
    EXPECT_EQ(app.Rows()[1].name, "handed");
    app.Click(kClose.x, kClose.y);
    EXPECT_EQ(app.Program().WaitForExit(20000), 0);
}

TEST_F(EndToEnd, NamesInAnyScriptAreQueuedConvertedAndShownAsNamed)
{
    const std::string out = work + "Выход";  // the output folder, chosen through the registry value
    CreateDirectoryA(out.c_str(), nullptr);
    WriteSetting("WorkDir", out);
    const std::string folder = work + "クリップ\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string longName;
    // Its path takes more than MAX_PATH bytes in UTF-8 (the name alone stays within the 255
    // bytes that the Linux file system under Wine holds).
    while (longName.size() < 231) longName += "長い名前の動画";
    const std::string cyrillic = folder + "Привет мир.mp4", japanese = folder + longName + ".mp4";
    const std::string greek = work + "Ωmega drop 🎈.mp4", fullWidth = work + "Live ｜ Part 1： Why？.mp4";
    const std::string broken = work + "Ошибка.mp4";
    for (const std::string& clip : {cyrillic, japanese, greek, fullWidth, broken}) MakeClip(clip, 1);

    Driver app("\"" + broken + "\" \"" + greek + "\"");
    AddFolder(app, folder.substr(0, folder.size() - 1));
    RunningProgram second("\"" + fullWidth + "\"");
    EXPECT_EQ(second.WaitForExit(), 0);
    ASSERT_TRUE(WaitFor([&] { return app.Rows().size() == 5; }, 60000));
    std::vector<std::string> names;
    for (const Row& row : app.Rows()) names.push_back(row.name);
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {"Live ｜ Part 1： Why？", "Ωmega drop 🎈", "Ошибка", "Привет мир", longName};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    app.Shot("e2e-10-names");

    WriteFile(broken, "no longer a film");
    Convert(app);
    for (const std::string& clip : {cyrillic, japanese, greek, fullWidth}) {
        const std::string name = clip.substr(clip.rfind('\\') + 1);
        ExpectMpegProgramStream(out + "\\" + name.substr(0, name.size() - 4) + ".mpg");
    }
    ASSERT_EQ(app.Rows()[0].name, "Ошибка");
    EXPECT_EQ(app.Rows()[0].progress, "Failed");
    POINT cell = Cell(0, 220);
    app.Click(cell.x, cell.y);
    HWND box = app.WaitForDialog();
    ASSERT_TRUE(box);
    const std::string reason = DialogText(box);
    EXPECT_NE(reason.find("Ошибка.mp4 was not converted."), std::string::npos) << reason;
    EXPECT_NE(reason.find(broken), std::string::npos) << "the encoder's words quote the path: " << reason;
    app.Shot("e2e-11-names-reason");
    app.ConfirmDialog(box);
    app.Click(kClose.x, kClose.y);
    EXPECT_EQ(app.Program().WaitForExit(20000), 0);
}

TEST_F(EndToEnd, EndedFromOutsideMidBatchLeavesNoEncoderAndTheNextStartOffersItsRows)
{
    const std::string clips = TwoLongClips();
    WriteSetting("Encoders", "1");  // one converting, one waiting
    {
        Driver app(clips);
        ASSERT_TRUE(WaitFor([&] { return app.Rows().size() == 2; }, 30000));
        app.Click(kConvert.x, kConvert.y);
        ASSERT_TRUE(WaitFor([&] { return FileExists(work + "long.~00") && EncodersRunning() == 1; }, 30000));
        TerminateProcess(app.Program().Process(), 1);  // as the Task Manager ends it
        EXPECT_TRUE(WaitFor([] { return EncodersRunning() == 0; }, 10000)) << "no encoder outlives the program";
    }
    Driver next;
    HWND question = next.WaitForDialog();
    ASSERT_TRUE(question);
    EXPECT_NE(DialogText(question).find("Mervane ended while 2 files were waiting. Add them again?"), std::string::npos)
        << DialogText(question);
    next.Shot("e2e-12-offered-again");
    next.ConfirmDialog(question);  // "Yes"
    ASSERT_TRUE(WaitFor([&] { return next.Rows().size() == 2; }, 10000));
    EXPECT_EQ(next.Rows()[0].name, "long");
    EXPECT_EQ(next.Rows()[1].name, "second");
    EXPECT_EQ(next.Rows()[0].progress, "Pending");
    EXPECT_TRUE(WaitFor([&] { return !FileExists(work + "long.~00"); }, 10000)) << "the crashed run's temporary goes";
    next.Click(kClose.x, kClose.y);
    EXPECT_EQ(next.Program().WaitForExit(20000), 0);
}

TEST_F(EndToEnd, DuringABatchTheCaptionTellsTheTimeLeftPauseWaitsAndTheMenuOffersOnlyTheBatchsItems)
{
    Driver app(TwoLongClips());
    ASSERT_TRUE(WaitFor([&] { return app.Rows().size() == 2; }, 30000));
    app.Click(kConvert.x, kConvert.y);
    ASSERT_TRUE(WaitFor([&] { return EncodersRunning() == 2; }, 30000));
    // The caption as a screen reader reads it: the text window above the list.
    auto caption = [&] {
        char text[256] = {};
        for (HWND w = nullptr; (w = FindWindowExA(app.Window(), w, "Static", nullptr)) != nullptr;)
            if (GetWindowTextA(w, text, sizeof text) && std::string(text).find(" of 2 ") != std::string::npos) return std::string(text);
        return std::string();
    };
    EXPECT_TRUE(WaitFor([&] { return caption().find(" left") != std::string::npos; }, 20000)) << caption();
    EXPECT_EQ(caption().rfind("Converting 2 of 2 \xC2\xB7 ", 0), 0u) << caption();
    app.Shot("e2e-13-caption-time-left");
    app.Key(VK_PAUSE);
    EXPECT_TRUE(WaitFor([&] { return caption().rfind("Paused", 0) == 0; }, 5000)) << caption();
    EXPECT_TRUE(WaitFor([&] { return app.Rows()[1].progress.find("(paused)") != std::string::npos; }, 5000));
    app.Shot("e2e-13-paused");
    app.Key(VK_PAUSE);
    EXPECT_TRUE(WaitFor([&] { return caption().rfind("Converting", 0) == 0; }, 5000)) << caption();

    POINT cell = Cell(0, 100);
    app.Click(cell.x, cell.y);
    app.Key('A', VK_CONTROL);  // every row
    app.Click(cell.x, cell.y, true);  // on a selected row: the selection stays
    HWND menu = nullptr;
    WaitFor([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr && IsWindowVisible(menu); }, 5000);
    ASSERT_TRUE(menu) << "the context menu";
    HWND list = FindWindowExA(app.Window(), nullptr, WC_LISTVIEWA, nullptr);
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 2) << "Ctrl+A selected every row";
    app.Shot("e2e-13-menu-during-batch");
    app.Key('S');  // "Stop converting..."
    HWND box = app.WaitForDialog();
    ASSERT_TRUE(box) << "the stop box, from the menu";
    app.Shot("e2e-14-stop-box");
    PostMessageA(box, WM_COMMAND, 103, 0);  // "Keep converting"
    WaitFor([&] { return !IsWindow(box); }, 5000);
    EXPECT_EQ(EncodersRunning(), 2);

    app.Key(VK_ESCAPE);
    box = app.WaitForDialog();
    ASSERT_TRUE(box) << "the stop box, from Esc";
    PostMessageA(box, WM_COMMAND, 102, 0);  // "Stop now"
    ASSERT_TRUE(WaitFor([&] { return EncodersRunning() == 0 && app.Rows()[1].progress == "Pending"; }, 10000));
    EXPECT_EQ(app.Rows()[0].progress, "Pending");
    EXPECT_FALSE(FileExists(work + "long.~00"));
    EXPECT_FALSE(FileExists(work + "second.~00"));
    app.Click(kClose.x, kClose.y);
    EXPECT_EQ(app.Program().WaitForExit(20000), 0);
}

TEST_F(EndToEnd, AWholeBatchRunsFromTheKeyboardAlone)
{
    MakeClip(work + "x.mp4", 2);
    const std::string gone = work + "gone";
    WriteSetting("WorkDir", gone);  // made at the start, removed before the batch: the file fails
    Driver app;
    auto focused = [&] {  // the window text of the control with the keyboard focus
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(app.Window(), nullptr), &info);
        char text[128] = {};
        SendMessageA(info.hwndFocus, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        return std::string(text);
    };
    EXPECT_EQ(focused(), "&Add MP4 File");
    for (const char* next : {"Add &Folder", "&Browse", "Files to convert", "Convert to MPEG", "&Add MP4 File"}) {
        app.Key(VK_TAB);
        EXPECT_EQ(focused(), next);
    }
    app.Key(VK_TAB, VK_SHIFT);
    EXPECT_EQ(focused(), "Convert to MPEG");
    app.Key('B', VK_MENU);
    HWND browser = app.WaitForDialog();
    ASSERT_TRUE(browser) << "the folder browser, from Alt+B";
    app.Key(VK_ESCAPE);
    WaitFor([&] { return !IsWindow(browser) || !IsWindowVisible(browser); }, 5000);

    ASSERT_TRUE((app.Key('O', VK_CONTROL), app.WaitForDialog())) << "the open dialog, from Ctrl+O";
    app.Type(work + "x.mp4");
    app.Key(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return app.Rows().size() == 1; }, 30000));
    RemoveTree(gone);
    EXPECT_EQ(focused(), "&Browse") << "the focus is back where it was: Alt+B pressed Browse";
    app.Key(VK_TAB);
    app.Key(VK_TAB);
    EXPECT_EQ(focused(), "Convert to MPEG");
    app.Shot("e2e-15-keyboard-focus");
    app.Key(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return app.Rows()[0].progress == "Failed"; }, 60000)) << "Enter started the batch";

    // The Options window, from Ctrl+comma to OK: a folder that is gone is refused, then one that is there kept.
    HWND options = (app.Key(VK_OEM_COMMA, VK_CONTROL), app.WaitForDialog());
    ASSERT_TRUE(options) << "Options, from Ctrl+comma";
    app.Key('N', VK_MENU);  // the name pattern, its text selected
    ASSERT_EQ(focused(), "{name}") << "Alt+N: the name pattern";
    app.Type("{n} {name}");
    app.Key('S', VK_MENU);  // subfolders
    app.Key('U', VK_MENU);  // subtitles, on by default: off
    app.Key(VK_RETURN);
    EXPECT_TRUE(IsWindow(options)) << "the output folder is gone: refused";
    app.Key('F', VK_MENU);
    app.Type(work);
    app.Shot("e2e-17-options");
    app.Key(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(options); }, 5000));
    // The dialog is gone a moment before the program has kept what it chose.
    std::string pattern, folder, subtitles;
    WaitFor([&] { return ReadSetting("OutputName", pattern) && ReadSetting("WorkDir", folder) && ReadSetting("Subtitles", subtitles); }, 5000);
    EXPECT_EQ(pattern, "{n} {name}");
    EXPECT_EQ(folder, work);
    EXPECT_EQ(subtitles, "off");

    app.Key(VK_TAB, VK_SHIFT);
    app.Key(VK_SPACE);  // selects the row the list shows its focus on, the first
    app.Key(VK_F10, VK_SHIFT);
    ASSERT_TRUE(WaitFor([&] { return FindWindowA("#32768", nullptr) != nullptr; }, 5000)) << "the menu, from Shift+F10";
    app.Key('W');  // "Why it failed"
    HWND reason = app.WaitForDialog(10000);
    ASSERT_TRUE(reason) << "the reason's message box";
    EXPECT_NE(DialogText(reason).find("x.mp4 was not converted."), std::string::npos) << DialogText(reason);
    app.Key(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(reason); }, 5000));
    HWND again = (app.Key(VK_OEM_COMMA, VK_CONTROL), app.WaitForDialog(5000));
    EXPECT_TRUE(again) << "the keyboard is back in the window once the box has closed";
    // A DVD target offers its disc, and the disc its name; Escape keeps none of it.
    app.Key('T', VK_MENU), app.Key('D');
    app.Key('K', VK_MENU), app.Key('D');
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(again, 1118))) << "the disc's name, for a DVD-Video disc";
    app.Shot("e2e-17-options-disc");
    app.Key(VK_ESCAPE);
    WaitFor([&] { return !IsWindow(again); }, 5000);

    // "About Mervane…", at the end of the list's menu: the licences, read from the top; Escape closes it.
    app.Key(VK_F10, VK_SHIFT);
    ASSERT_TRUE(WaitFor([&] { return FindWindowA("#32768", nullptr) != nullptr; }, 5000));
    app.Key('A');
    HWND about = app.WaitForDialog(10000);
    ASSERT_TRUE(about) << "About, from the menu";
    std::wstring licences(1 << 20, L'\0');
    licences.resize(SendMessageW(GetDlgItem(about, 1201), WM_GETTEXT, licences.size(), reinterpret_cast<LPARAM>(licences.data())));
    EXPECT_EQ(licences.rfind(L"Mervane ", 0), 0u);
    EXPECT_NE(licences.find(L"GNU LESSER GENERAL PUBLIC LICENSE"), std::wstring::npos);
    EXPECT_NE(licences.find(L"the Independent JPEG Group"), std::wstring::npos);
    app.Shot("e2e-18-about");
    app.Key(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }, 5000));
    app.Click(kClose.x, kClose.y);
    EXPECT_EQ(app.Program().WaitForExit(20000), 0);
}

TEST_F(EndToEnd, TheConvertButtonsMenuChoosesTheTargetAndKeepsIt)
{
    Driver app;
    ASSERT_TRUE(app.Window());
    app.Click(kConvert.x, kConvert.y, true);
    HWND menu = nullptr;
    WaitFor([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr && IsWindowVisible(menu); }, 5000);
    ASSERT_TRUE(menu) << "the targets, on a right click";
    app.Shot("e2e-16-convert-menu");
    app.Key('V');  // "Video CD (PAL)"
    std::string target;
    EXPECT_TRUE(WaitFor([&] { return ReadSetting("Target", target) && target == "vcd-pal"; }, 5000)) << target;
    app.Shot("e2e-16-video-cd");
    // "Make ▸" is for the DVD targets: a DVD, then its disc.
    for (WORD key : {'D', 'K'}) {
        app.Click(kConvert.x, kConvert.y, true);
        WaitFor([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr && IsWindowVisible(menu); }, 5000);
        app.Key(key);
    }
    WaitFor([&] { const HWND top = FindWindowA("#32768", nullptr); return top && top != menu; }, 5000);  // the submenu, on top
    app.Shot("e2e-16-make-menu");
    app.Key('D');  // "DVD-Video disc"
    std::string disc;
    EXPECT_TRUE(WaitFor([&] { return ReadSetting("Disc", disc) && disc == "dvd-video"; }, 5000)) << disc;
    app.Click(kClose.x, kClose.y);
    EXPECT_EQ(app.Program().WaitForExit(20000), 0);
}
