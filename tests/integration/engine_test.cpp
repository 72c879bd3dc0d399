// The conversion engine in the main window: the driver picks rows and starts the encoder,
// the monitor shows progress and ends each file by the encoder's own end.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "convert/ConvertLogic.h"
#include "form_fixture.h"
#include "framework/Files.h"
#include "framework/errors.h"

using namespace testing_support;

namespace {

struct EngineTest : FormTest {
    std::string work = FreshFolder("engine");

    void SetUp() override
    {
        StartForm();
        form->WorkDir = work;
    }
    void TearDown() override
    {
        PumpUntil([&] { return !form->Converting; }, 30000);
        FormTest::TearDown();
        RemoveTree(work);
    }
    // Queues an input whose content is the fake encoder's script.
    void QueueScript(const std::string& name, const std::string& script, const std::string& duration = "1")
    {
        WriteFile(work + name, script);
        form->AddQueueRow(work + name, duration);
    }
    // A copy, since the window deletes its encoder file when it closes.
    void UseFakeEncoder()
    {
        form->FfmpegPath = work + "fake_encoder.exe";
        CopyFileA((ExeFolder() + "fake_encoder.exe").c_str(), form->FfmpegPath.c_str(), FALSE);
    }
    std::string State(int row) { return form->ListView1->CellText(row, 2); }
    std::string Converted(int row) { return form->ListView1->CellText(row, 3); }
    // Every state text the row shows until the batch is idle.
    std::vector<std::string> StatesUntilIdle(int row, int timeoutMs = 30000)
    {
        std::vector<std::string> seen;
        PumpUntil(
            [&] {
                std::string now = State(row);
                if (seen.empty() || seen.back() != now) seen.push_back(now);
                return !form->Converting;
            },
            timeoutMs);
        std::string last = State(row);
        if (seen.back() != last) seen.push_back(last);
        return seen;
    }
};

bool Contains(const std::vector<std::string>& seen, const std::string& state)
{
    return std::find(seen.begin(), seen.end(), state) != seen.end();
}

}  // namespace

TEST_F(EngineTest, EmptyQueueKeepsTheCurrentRow)
{
    form->CurrentRow = 5;
    form->EzRgnBtn3Click(form.get());
    EXPECT_EQ(form->CurrentRow, 5);
    EXPECT_DOUBLE_EQ(form->OutputRateKBps, 114.75);
    EXPECT_FALSE(form->Converting);
}

TEST_F(EngineTest, RowsThatDoNotReadExactlyPendingArePassedBy)
{
    UseFakeEncoder();
    for (const char* state : {"Done", "Pending ", "pending", "Failed"}) {
        QueueScript(std::string(state) + ".mp4", "exit 0");
        form->SetRowState(form->RowCount() - 1, state);
    }
    form->EzRgnBtn3Click(form.get());
    EXPECT_EQ(form->CurrentRow, -1);
    EXPECT_FALSE(form->Converting);

    QueueScript("c.d.mp4", "write 100\nsleep 300\nfinish", "7");
    form->EzRgnBtn3Click(form.get());
    EXPECT_EQ(form->CurrentRow, 4);
    EXPECT_TRUE(form->Converting);
    EXPECT_EQ(form->CurrentInputPath, work + "c.d.mp4");
    EXPECT_EQ(form->CurrentOutputPath, work + "\\c.d.mpg");  // the work folder ends with a backslash
    EXPECT_EQ(form->FfmpegArgs, " -i \"" + work + "c.d.mp4\" -y -deinterlace -b 900000 -r 25 -ab 128000 -ar 44100 "
                                "-ac 2 \"" + work + "\\c.d.mpg\"");
    EXPECT_EQ(form->ExpectedSize, 7 * 117504);
    EXPECT_EQ(form->LastSize, 0);
    EXPECT_EQ(State(4), "Pending") << "the driver writes nothing into the row";

    std::string before = form->CurrentInputPath;
    form->EzRgnBtn3Click(form.get());  // a click during a conversion does nothing
    EXPECT_EQ(form->CurrentInputPath, before);
    StatesUntilIdle(4);
    EXPECT_EQ(State(4), "Done");
}

TEST_F(EngineTest, RowsBelowARemovedRowConvertTheirOwnInputs)
{
    UseFakeEncoder();
    QueueScript("first.mp4", "write 10\nfinish", "4");
    QueueScript("second.mp4", "write 10\nfinish", "5");
    QueueScript("third.mp4", "write 10\nfinish", "6");
    form->DeleteQueueRow(0);
    form->EzRgnBtn3Click(form.get());
    EXPECT_EQ(form->CurrentInputPath, work + "second.mp4");
    EXPECT_EQ(form->ExpectedSize, 5 * 117504);
    StatesUntilIdle(1);
    EXPECT_EQ(form->CurrentInputPath, work + "third.mp4");
    EXPECT_EQ(form->ExpectedSize, 6 * 117504);
    EXPECT_TRUE(FileExists(work + "\\second.mpg"));
    EXPECT_FALSE(FileExists(work + "\\first.mpg"));
}

TEST_F(EngineTest, DurationThatIsNoIntegerRaisesBeforeAnythingStarts)
{
    UseFakeEncoder();
    QueueScript("bad.mp4", "exit 0", "12x");
    try {
        form->EzRgnBtn3Click(form.get());
        ADD_FAILURE();
    } catch (const fw::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
    }
    EXPECT_FALSE(form->Converting);
    EXPECT_EQ(form->CurrentRow, 0);
    EXPECT_EQ(form->CurrentInputPath, work + "bad.mp4");
    EXPECT_FALSE(FileExists(work + "\\bad.mpg"));
}

TEST_F(EngineTest, ProgressIsTheMeasuredShareOfTheExpectedSize)
{
    UseFakeEncoder();
    struct Case {
        const char* script;
        const char* shown;
    } cases[] = {
        {"write 58752\nsleep 1300\nfinish", "50% Done"},
        {"write 117503\nsleep 1300\nfinish", "99% Done"},
        {"write 131605\nsleep 1300\nfinish", "112% Done"},
    };
    for (const Case& c : cases) {
        int row = form->RowCount();
        QueueScript("p" + std::to_string(row) + ".mp4", c.script);
        form->EzRgnBtn3Click(form.get());
        std::vector<std::string> seen = StatesUntilIdle(row);
        EXPECT_TRUE(Contains(seen, c.shown)) << c.shown;
        EXPECT_EQ(seen.back(), "Done");
        EXPECT_EQ(Converted(row), "MPG");
    }
}

TEST_F(EngineTest, PausedEncoderDoesNotFinishTheRow)
{
    UseFakeEncoder();
    QueueScript("slow.mp4", "write 1000\nsleep 1800\nwrite 1000\nsleep 1200\nwrite 1000\nfinish");
    QueueScript("next.mp4", "write 10\nfinish");
    form->EzRgnBtn3Click(form.get());
    std::vector<std::string> doneSizes;
    PumpUntil(
        [&] {
            if (State(0) == "Done" && doneSizes.empty()) doneSizes.push_back(ReadFile(work + "\\slow.mpg"));
            return !form->Converting;
        },
        30000);
    ASSERT_EQ(doneSizes.size(), 1u);
    EXPECT_EQ(doneSizes[0].size(), 3000u) << "done only once the whole output is written";
    EXPECT_EQ(State(1), "Done");
}

TEST_F(EngineTest, FailuresAreShownAndTheBatchGoesOn)
{
    UseFakeEncoder();
    QueueScript("exits.mp4", "write 500\nexit 3");
    QueueScript("nothing.mp4", "finish");
    QueueScript("empty.mp4", "touch\nfinish");
    QueueScript("good.mp4", "write 500\nfinish");
    form->EzRgnBtn3Click(form.get());
    StatesUntilIdle(3);
    EXPECT_EQ(State(0), "Failed");
    EXPECT_EQ(State(1), "Failed");
    EXPECT_EQ(State(2), "Failed");
    EXPECT_EQ(State(3), "Done");
    EXPECT_EQ(Converted(0), "");
    EXPECT_EQ(Converted(3), "MPG");
    EXPECT_FALSE(form->Converting);
}

TEST_F(EngineTest, EncoderThatCannotStartFailsEachRowWithTheSystemsText)
{
    form->FfmpegPath = work + "no-such-encoder.exe";
    QueueScript("a.mp4", "exit 0");
    QueueScript("b.mp4", "exit 0");
    form->EzRgnBtn3Click(form.get());
    EXPECT_FALSE(form->Converting);
    for (int row : {0, 1}) {
        EXPECT_EQ(State(row), "Failed");
        const std::string& reason = form->RowReasons[row];
        EXPECT_EQ(reason.rfind("The encoder could not be started: ", 0), 0u) << reason;
        std::string systemText = fw::SystemErrorText(ERROR_FILE_NOT_FOUND);
        EXPECT_NE(reason.find(systemText.substr(0, systemText.size() - 1)), std::string::npos) << reason;
        EXPECT_NE(reason.find(form->FfmpegPath), std::string::npos) << reason;
        EXPECT_NE(reason.find("Security software"), std::string::npos) << reason;
    }
}

TEST_F(EngineTest, EncoderEndedFromOutsideWithExitCodeZeroIsNotDone)
{
    UseFakeEncoder();
    QueueScript("cut.mp4", "write 5000\nsleep 60000\nfinish");
    form->EzRgnBtn3Click(form.get());
    PumpUntil([&] { return State(0) != "Pending"; }, 10000);
    fw::unique_handle encoder(OpenProcess(PROCESS_TERMINATE, FALSE, form->EncoderProcessId));
    TerminateProcess(encoder.get(), 0);  // as "taskkill /f" ends it under Wine
    StatesUntilIdle(0);
    EXPECT_EQ(State(0), "Failed");
    EXPECT_EQ(form->RowReasons[0], "The encoder stopped before the end (exit code 0).");
}

TEST_F(EngineTest, VanishedInputFailsWithoutAnEncoderAndTheBatchGoesOn)
{
    UseFakeEncoder();
    QueueScript("one.mp4", "write 10\nfinish");
    QueueScript("gone.mp4", "write 10\nfinish");
    QueueScript("three.mp4", "write 10\nfinish");
    DeleteFileA((work + "gone.mp4").c_str());
    form->EzRgnBtn3Click(form.get());
    StatesUntilIdle(2);
    EXPECT_EQ(State(0), "Done");
    EXPECT_EQ(State(1), "Failed");
    EXPECT_EQ(form->RowReasons[1], "The file is no longer there.");
    EXPECT_EQ(State(2), "Done");
    EXPECT_FALSE(FileExists(work + "\\gone.mpg"));
}

TEST_F(EngineTest, SameNamedInputsWriteTwoOutputsAndAnOldFileIsOverwritten)
{
    UseFakeEncoder();
    for (const char* sub : {"one", "two"}) CreateDirectoryA((work + sub).c_str(), nullptr);
    WriteFile(work + "\\same.mpg", std::string(7, 'o'));  // left from an earlier run
    QueueScript("one\\same.mp4", "write 100\nfinish");
    QueueScript("two\\same.mp4", "write 200\nfinish");
    form->AddQueueRow(work + "one\\same.mp4", "1");  // the same input again may write its own file again
    form->EzRgnBtn3Click(form.get());
    StatesUntilIdle(2);
    EXPECT_EQ(ReadFile(work + "\\same.mpg").size(), 100u) << "overwritten by the first input, then by itself again";
    EXPECT_EQ(ReadFile(work + "\\same (2).mpg").size(), 200u);
    EXPECT_FALSE(FileExists(work + "\\same (3).mpg"));
    for (int row : {0, 1, 2}) EXPECT_EQ(State(row), "Done");
}

TEST_F(EngineTest, RealEncoderFailureIsExplainedByAClickAndItsLogRemovedAtTheEnd)
{
    const std::string clip = work + "clip.mp4";
    MakeClip(clip, 1);
    form->WorkDir = work + "no-such-folder";
    form->AddQueueRow(clip, "2");
    form->EzRgnBtn3Click(form.get());
    StatesUntilIdle(0, 60000);
    ASSERT_EQ(State(0), "Failed");
    const std::string expected = "clip.mp4 was not converted. The encoder ended with exit code 1: " + work +
                                 "no-such-folder\\clip.mpg: No such file or directory.";

    // A click on "Failed" in the progress column.
    ListView_SetItemState(form->ListView1->Handle(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    POINT at{form->ListView1->ColumnWidth(0) + form->ListView1->ColumnWidth(1) + 10, 5};
    ClientToScreen(form->ListView1->Handle(), &at);
    SetCursorPos(at.x, at.y);
    DialogWatcher dialogs;
    form->ListView1Click(form->ListView1);
    ASSERT_EQ(dialogs.Count(), 1);
    EXPECT_EQ(dialogs.Seen_()[0].text, expected);

    const std::string log = form->EncoderLogPath();
    EXPECT_TRUE(FileExists(log));
    form.reset();
    EXPECT_FALSE(FileExists(log));
    StartForm();  // for the fixture's tear-down
}

TEST_F(EngineTest, RealClipsBecomeMpegProgramStreamsOneAtATime)
{
    const std::string clips = FreshFolder("clips");
    for (int i = 1; i <= 3; ++i) {
        std::string clip = clips + "clip" + std::to_string(i) + ".mp4";
        MakeClip(clip, 2);
        form->AddQueueRow(clip, "3");
    }
    int mostAtOnce = 0;
    form->EzRgnBtn3Click(form.get());
    PumpUntil(
        [&] {
            mostAtOnce = std::max(mostAtOnce, RunningProcesses("ffmpeg.exe"));
            return !form->Converting;
        },
        180000);
    EXPECT_LE(mostAtOnce, 1);
    const std::string mediainfo = PayloadFolder() + "mediainfo.exe";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(State(i), "Done");
        EXPECT_EQ(Converted(i), "MPG");
        std::string output = work + "\\clip" + std::to_string(i + 1) + ".mpg";
        ASSERT_TRUE(FileExists(output)) << output;
        std::string general = RunAndCapture("\"" + mediainfo + "\" \"--Inform=General;%Format%\" \"" + output + "\"");
        std::string video = RunAndCapture("\"" + mediainfo +
                                          "\" \"--Inform=Video;%Format%|%Format_Version%|%FrameRate%\" \"" + output + "\"");
        std::string audio = RunAndCapture("\"" + mediainfo + "\" \"--Inform=Audio;%Format%|%Format_Profile%|"
                                          "%SamplingRate%|%Channel(s)%\" \"" + output + "\"");
        EXPECT_NE(general.find("MPEG-PS"), std::string::npos) << general;
        EXPECT_NE(video.find("MPEG Video|Version 1|25.000"), std::string::npos) << video;
        EXPECT_NE(audio.find("MPEG Audio|Layer 2|44100|2"), std::string::npos) << audio;
    }
    RemoveTree(clips);
}
