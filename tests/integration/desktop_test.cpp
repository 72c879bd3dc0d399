// The window on the desktop: files and folders dropped on it, the taskbar button's progress
// and a system kept awake while a batch runs.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "app/AppLogic.h"
#include "form_fixture.h"
#include "framework/Application.h"
#include "queue/FindFile.h"
#include "ui/Notice.h"

using namespace testing_support;

namespace {

// A drop of these paths as the shell delivers it: WM_DROPFILES with a DROPFILES block.
void DropOn(HWND window, const std::vector<std::string>& paths)
{
    std::string names;
    for (const std::string& path : paths) names += path + '\0';
    names += '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(memory);
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

struct DesktopTest : FormTest {
    std::string work = FreshFolder("desktop");
    void SetUp() override
    {
        DeleteSettings();
        StartForm();
    }
    void TearDown() override
    {
        PumpUntil([&] { return !Converting(); }, 30000);
        FormTest::TearDown();
        RemoveTree(work);
    }
    std::vector<std::string> Queued()
    {
        std::vector<std::string> paths;
        for (int i = 0; i < session->Queue().Count(); ++i) paths.push_back(session->Queue().Path(i));
        return paths;
    }
    HWND Window() { return form->Handle(); }
};

}  // namespace

TEST_F(DesktopTest, DroppedFilesAndFoldersAreQueuedInTheirOrderAndTheRestNamed)
{
    MakeClip(work + "one.mp4", 1);
    const std::string clip = ReadFile(work + "one.mp4");
    CreateDirectoryA((work + "folder").c_str(), nullptr);
    for (const char* name : {"folder\\a.mp4", "folder\\b.mp4", "LATE.MP4"}) WriteFile(work + name, clip);
    WriteFile(work + "notes.txt", "notes");
    WriteFile(work + "bad.mp4", "no film");
    TFindFile finder(nullptr);
    finder.Filter = "*.mp4";
    finder.Directory = work + "folder";
    finder.Execute();

    DialogWatcher messages;
    session->Intake().AddItems({work + "one.mp4", work + "folder", work + "notes.txt", work + "bad.mp4", work + "LATE.MP4"});
    std::vector<std::string> expected = {work + "one.mp4"};
    expected.insert(expected.end(), finder.Files.begin(), finder.Files.end());
    expected.push_back(work + "LATE.MP4");
    EXPECT_EQ(Queued(), expected);
    ASSERT_EQ(messages.Count(), 2);
    EXPECT_EQ(messages.Seen_()[0].text,
              "Cannot process file bad.mp4 Bad file header or bad characters in filename! Please use different file.");
    EXPECT_EQ(messages.Seen_()[1].text, "These files were not added. Not MP4 files: notes.txt.");
    EXPECT_EQ(session->Intake().LastFile(), work + "LATE.MP4");
    EXPECT_EQ(session->Intake().LastFolder(), work + "folder");
    EXPECT_EQ(session->Intake().LastFolder(), work + "folder");
}

TEST_F(DesktopTest, ADropDuringAConversionIsKeptAndQueuedWhenItEnds)
{
    MakeClip(work + "one.mp4", 1);
    KeepConverting(work);
    DialogWatcher messages;
    DropOn(Window(), {work + "one.mp4"});
    PumpUntil([&] { return messages.Count() == 1; }, 10000);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Seen_()[0].text, "These files will be added when the conversion has finished: one.mp4.");
    EXPECT_EQ(Queued(), std::vector<std::string>{work + "busy.mp4"});
    session->Batch().StopNow();
    EXPECT_TRUE(PumpUntil([&] { return Queued().size() == 2; }, 30000));
    EXPECT_EQ(Queued().back(), work + "one.mp4");
    EXPECT_EQ(messages.Count(), 1);
}

TEST_F(DesktopTest, ABurstOfHandOversGivesOneMessageThatFitsTheScreenWithTheTrueReasons)
{
    WriteFile(work + "notes.txt", "notes");
    LONG tallest = 0;
    DialogWatcher messages([&](HWND dialog) {
        RECT r{};
        GetWindowRect(dialog, &r);
        tallest = std::max(tallest, r.bottom - r.top);
        return false;
    });
    for (int i = 0; i < 64; ++i) {  // as 64 "Open with" copies would hand them over
        std::vector<std::string> args;
        for (int j = 0; j < 50; ++j) args.push_back(work + "gone " + std::to_string(i * 50 + j) + ".mp4");
        if (i == 0) args.push_back("\\\\?\\" + work + "notes.txt");  // the long form is a path like any other
        std::string block = app::PackArguments(args);
        COPYDATASTRUCT data{app::kArgumentBlockTag, static_cast<DWORD>(block.size()), block.data()};
        SendMessageA(Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    PumpUntil([&] { return messages.Count() > 0; }, 10000);
    PumpFor(1500);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Seen_()[0].text, "These files were not added. Not found: gone 0.mp4, gone 1.mp4, gone 2.mp4, "
                                        "gone 3.mp4, gone 4.mp4, gone 5.mp4, gone 6.mp4, gone 7.mp4, gone 8.mp4. "
                                        "Not MP4 files: notes.txt. ...and 3191 more.");
    EXPECT_LT(tallest, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(DesktopTest, TheCountdownsCancelKeepsTheSystemUpAndAChoiceLastsOneBatch)
{
    std::vector<app::AfterBatch> asked;
    StartForm({.countdownSeconds = 1, .powerDown = [&](app::AfterBatch what) {
                   asked.push_back(what);
                   return std::string();
               }});
    session->WhenBatchEnds() = app::AfterBatch::Sleep;
    {
        DialogWatcher cancel([](HWND notice) { return PostMessageA(notice, WM_COMMAND, IDCANCEL, 0) != FALSE; });
        form->BatchEnded();
        EXPECT_EQ(cancel.Count(), 1);
    }
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(session->WhenBatchEnds(), app::AfterBatch::Nothing);
    form->BatchEnded();
    EXPECT_TRUE(asked.empty()) << "the choice was for one batch";

    session->WhenBatchEnds() = app::AfterBatch::ShutDown;
    {
        DialogWatcher wait([](HWND) { return true; });  // left to count down
        form->BatchEnded();
    }
    EXPECT_EQ(asked, std::vector<app::AfterBatch>{app::AfterBatch::ShutDown});
}

TEST_F(DesktopTest, ABatchTellsItsProgressAndItsEndAndKeepsTheSystemAwakeUntilItEnds)
{
    std::vector<std::string> calls;  // what the taskbar button and the caption are told, in order
    app::TSessionEvents events;
    events.OnProgress = [&](const app::ProgressShown& p) {
        calls.push_back(std::to_string(static_cast<int>(p.fraction * 100)) + " %" + (p.failed ? " failed" : ""));
    };
    events.OnBatchEnded = [&](const std::string& said) { calls.push_back(said); };
    session->Listen(events);
    session->ChooseOutputFolder(work.substr(0, work.size() - 1));
    MakeClip(work + "good.mp4", 2);
    QueueFile(work + "good.mp4", 3);
    QueueFile(work + "gone.mp4", 3);  // fails without an encoder
    session->Start();
    ASSERT_TRUE(Converting());
    // A call without ES_CONTINUOUS changes nothing and tells the state in force.
    EXPECT_EQ(SetThreadExecutionState(0), static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
    PumpUntil([&] { return !Converting(); }, 60000);
    EXPECT_EQ(SetThreadExecutionState(0), static_cast<EXECUTION_STATE>(ES_CONTINUOUS)) << "released at the end";

    // Both start together: the missing one fails at once while the good one runs on.
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0], "0 %");
    EXPECT_EQ(calls[1], "50 % failed");
    EXPECT_EQ(calls[calls.size() - 2], "100 % failed");
    EXPECT_EQ(calls.back().rfind("1 file converted, 1 failed (", 0), 0u) << calls.back();
}

TEST(Notice, StaysInTheNotificationAreaUntilTheUserHasSeenIt)
{
    const HWND window = MakeTestWindow("MervaneNoticeTest", DefWindowProcA, WS_OVERLAPPEDWINDOW);
    TBatchNotice notice(window, WM_APP + 9);
    auto present = [&] {  // a change to the icon succeeds only while it is there
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = window;
        data.uID = 1;
        return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    };
    ASSERT_TRUE(notice.Show("Mervane", "1 file converted"));
    notice.Handle(WM_USER + 3);  // the toast left the screen
    notice.Handle(WM_USER + 4);  // and timed out
    EXPECT_TRUE(present()) << "it waits in the notification centre";
    notice.Handle(WM_USER + 5);  // a click on it
    EXPECT_FALSE(present());
    DestroyWindow(window);
}
