// The conversion engine in the main window: the driver picks rows and starts the encoder,
// the monitor shows progress and ends each file by the encoder's own end.
#include <gtest/gtest.h>

#include "convert/ConvertLogic.h"
#include "form_fixture.h"
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

    QueueScript("c.d.mp4", "write 100\nsleep 300\nexit 0", "7");
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
    QueueScript("first.mp4", "write 10\nexit 0", "4");
    QueueScript("second.mp4", "write 10\nexit 0", "5");
    QueueScript("third.mp4", "write 10\nexit 0", "6");
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
        {"write 58752\nsleep 1300\nexit 0", "50% Done"},
        {"write 117503\nsleep 1300\nexit 0", "99% Done"},
        {"write 131605\nsleep 1300\nexit 0", "112% Done"},
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
    QueueScript("slow.mp4", "write 1000\nsleep 1800\nwrite 1000\nsleep 1200\nwrite 1000\nexit 0");
    QueueScript("next.mp4", "write 10\nexit 0");
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
    QueueScript("nothing.mp4", "exit 0");
    QueueScript("empty.mp4", "touch\nexit 0");
    QueueScript("good.mp4", "write 500\nexit 0");
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

TEST_F(EngineTest, EncoderThatCannotStartFailsTheRow)
{
    form->FfmpegPath = work + "no-such-encoder.exe";
    QueueScript("a.mp4", "exit 0");
    QueueScript("b.mp4", "exit 0");
    form->EzRgnBtn3Click(form.get());
    StatesUntilIdle(1, 10000);
    EXPECT_EQ(State(0), "Failed");
    EXPECT_EQ(State(1), "Failed");
    EXPECT_FALSE(form->Converting);
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
