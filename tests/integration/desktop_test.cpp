// The window on the desktop: files and folders dropped on it, the taskbar button's progress
// and a system kept awake while a batch runs.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "form_fixture.h"
#include "framework/Application.h"
#include "queue/FindFile.h"

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

// The taskbar calls a batch makes, in order.
struct RecordingTaskbar : TTaskbarProgress {
    std::vector<std::string>* calls;
    explicit RecordingTaskbar(std::vector<std::string>* calls) : calls(calls) {}
    void Show(HWND, std::uint64_t done, std::uint64_t total, bool failed) override
    {
        calls->push_back(std::to_string(done) + "/" + std::to_string(total) + (failed ? " failed" : ""));
    }
    void Clear(HWND) override { calls->push_back("clear"); }
};

struct DesktopTest : FormTest {
    std::string work = FreshFolder("desktop");
    void SetUp() override
    {
        DeleteSettings();
        StartForm();
    }
    void TearDown() override
    {
        PumpUntil([&] { return !form->Converting(); }, 30000);
        FormTest::TearDown();
        RemoveTree(work);
    }
    std::vector<std::string> Queued()
    {
        std::vector<std::string> paths;
        for (int i = 0; i < form->ListBox1->Count(); ++i) paths.push_back(form->ListBox1->Item(i));
        return paths;
    }
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
    DropOn(form->Handle(), {work + "one.mp4", work + "folder", work + "notes.txt", work + "bad.mp4", work + "LATE.MP4"});
    PumpUntil([&] { return messages.Count() == 2; }, 60000);
    PumpFor(300);
    std::vector<std::string> expected = {work + "one.mp4"};
    expected.insert(expected.end(), finder.Files.begin(), finder.Files.end());
    expected.push_back(work + "LATE.MP4");
    EXPECT_EQ(Queued(), expected);
    ASSERT_EQ(messages.Count(), 2);
    EXPECT_EQ(messages.Seen_()[0].text,
              "Cannot process file bad.mp4 Bad file header or bad characters in filename! Please use different file.");
    EXPECT_EQ(messages.Seen_()[1].text, "These files are not MP4 files and were not added: notes.txt.");
    EXPECT_EQ(form->Edit1->Text(), work + "LATE.MP4");
    EXPECT_EQ(form->Edit2->Text(), work + "folder");
    EXPECT_EQ(form->LastFolder, work + "folder");
}

TEST_F(DesktopTest, ADropDuringAConversionAddsNothingAndSaysWhen)
{
    MakeClip(work + "one.mp4", 1);
    KeepConverting(work);
    DialogWatcher messages;
    DropOn(form->Handle(), {work + "one.mp4"});
    PumpUntil([&] { return messages.Count() == 1; }, 10000);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Seen_()[0].text, "Files can be added when the conversion has finished.");
    EXPECT_EQ(Queued(), std::vector<std::string>{work + "busy.mp4"});
}

TEST_F(DesktopTest, ABatchShowsItsProgressOnTheTaskbarAndKeepsTheSystemAwakeUntilItEnds)
{
    std::vector<std::string> calls;
    form->Batch->Taskbar = std::make_unique<RecordingTaskbar>(&calls);
    form->WorkDir = work.substr(0, work.size() - 1);
    MakeClip(work + "good.mp4", 2);
    form->Queue->Add(work + "good.mp4", "3");
    form->Queue->Add(work + "gone.mp4", "3");  // fails without an encoder
    form->EzRgnBtn3Click(form.get());
    ASSERT_TRUE(form->Converting());
    // A call without ES_CONTINUOUS changes nothing and tells the state in force.
    EXPECT_EQ(SetThreadExecutionState(0), static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
    PumpUntil([&] { return !form->Converting(); }, 60000);
    EXPECT_EQ(SetThreadExecutionState(0), static_cast<EXECUTION_STATE>(ES_CONTINUOUS)) << "released at the end";

    // Both start together: the missing one fails at once while the good one runs on.
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0], "0/2000");
    EXPECT_EQ(calls[1], "1000/2000 failed");
    EXPECT_EQ(calls[calls.size() - 2], "2000/2000 failed");
    EXPECT_EQ(calls.back(), "clear");
}
