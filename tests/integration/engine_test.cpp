// The batch and the queue it converts: several encoders at once, rows ending in any order,
// outputs that are whole or absent, and the encoder's end deciding each row.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "batch/OutputFiles.h"
#include "encode/EncoderLog.h"
#include "batch/SlotFiles.h"
#include "batch/OutputNames.h"
#include "form_fixture.h"
#include "batch/Outputs.h"
#include "framework/Files.h"
#include "framework/errors.h"

using namespace testing_support;
using queue::RowState;

namespace {

// A queue and the batch that converts it, on the test encoder unless a test names another.
struct EngineTest : ConvertingTest {
    TQueue queue;
    batch::TBatch batch{queue};
    batch::BatchSetup setup{.outputFolder = work, .encoders = 2};

    void SetUp() override
    {
        ConvertingTest::SetUp();
        setup.logFolder = session->Folders().temp;
        setup.encoderPath = session->Tools().Paths().ffmpeg;
    }
    void TearDown() override
    {
        batch.Abandon();
        ConvertingTest::TearDown();
    }
    TQueue& Queue() { return queue; }
    batch::TBatch& Batch() { return batch; }
    bool Converting() const { return batch.Running(); }
    // Queues an input whose content is the fake encoder's script.
    void QueueScript(const std::string& name, const std::string& script, int seconds = 1)
    {
        WriteFile(work + name, script);
        queue.Add(work + name, seconds);
    }
    void UseFakeEncoder()
    {
        setup.encoderPath = work + "fake_encoder.exe";
        CopyFileA((ExeFolder() + "fake_encoder.exe").c_str(), setup.encoderPath.c_str(), FALSE);
    }
    void Convert(int encoders)
    {
        setup.encoders = encoders;
        const auto name = [&](int row, batch::PlannedRow& planned) {
            planned.output = batch::MeantOutputFor(setup.choices, setup.outputFolder, queue.Path(row), queue.Subfolder(row), row + 1);
        };
        setup.plan = batch::PlanBatch(batch::PendingRows(queue, name), setup.choices.target, setup.choices.quality, setup.choices.fitTo);
        batch.Start(setup);
    }
    std::string State(int row) { return queue.StateText(row); }
    // Every state text the row shows until the batch is idle.
    std::vector<std::string> StatesUntilIdle(int row, int timeoutMs = 30000)
    {
        std::vector<std::string> seen;
        PumpUntil(
            [&] {
                std::string now = State(row);
                if (seen.empty() || seen.back() != now) seen.push_back(now);
                return !Converting();
            },
            timeoutMs);
        std::string last = State(row);
        if (seen.back() != last) seen.push_back(last);
        return seen;
    }
    // No temporary of ours is left in the output folder.
    bool NoTemporaryLeft()
    {
        WIN32_FIND_DATAA entry{};
        HANDLE found = FindFirstFileA((work + "*.~??").c_str(), &entry);
        if (found == INVALID_HANDLE_VALUE) return true;
        FindClose(found);
        return false;
    }
};

bool Contains(const std::vector<std::string>& seen, const std::string& state)
{
    return std::find(seen.begin(), seen.end(), state) != seen.end();
}

}  // namespace

TEST_F(EngineTest, OnlyPendingRowsStartAndAClickDuringABatchDoesNothing)
{
    Convert(2);  // an empty queue
    EXPECT_FALSE(Converting());

    UseFakeEncoder();
    QueueScript("done.mp4", "exit 0");
    QueueScript("failed.mp4", "exit 0");
    Queue().Finish(0, work + "done.mpg");
    Queue().Fail(1, "earlier");
    QueueScript("c.d.mp4", "write 100\nsleep 300\nfinish", 7);
    Convert(2);
    ASSERT_EQ(Batch().RunningFiles().size(), 1u);
    EXPECT_EQ(Batch().RunningFiles()[0].id, Queue().IdAt(2));
    EXPECT_EQ(Batch().RunningFiles()[0].written, work + "\\c.d.~00");  // the work folder ends with a backslash
    Convert(2);
    EXPECT_EQ(Batch().RunningFiles().size(), 1u);
    StatesUntilIdle(2);
    EXPECT_EQ(Queue().State(2), RowState::Done);
    EXPECT_EQ(Queue().Reason(1), "earlier");
}

TEST_F(EngineTest, EncodersRunAsManyAtOnceAsSetRowsEndInAnyOrderAndAFailureStopsNoOther)
{
    UseFakeEncoder();
    struct Case {
        const char* setting;
        std::size_t most;
    } cases[] = {{"1", 1}, {"3", 3}};
    for (const Case& c : cases) {
        const int first = Queue().Count();
        QueueScript("slow" + std::string(c.setting) + ".mp4", "write 10\nsleep 1500\nfinish");
        QueueScript("fails" + std::string(c.setting) + ".mp4", "write 10\nexit 3");
        QueueScript("quick" + std::string(c.setting) + ".mp4", "write 10\nsleep 300\nfinish");
        QueueScript("last" + std::string(c.setting) + ".mp4", "write 10\nfinish");
        Convert(static_cast<int>(c.most));
        std::size_t most = 0;
        std::vector<int> endOrder;
        PumpUntil(
            [&] {
                most = std::max(most, Batch().RunningFiles().size());
                for (int row = first; row < first + 4; ++row)
                    if (Queue().State(row) == RowState::Done || Queue().State(row) == RowState::Failed)
                        if (std::find(endOrder.begin(), endOrder.end(), row) == endOrder.end()) endOrder.push_back(row);
                return !Converting();
            },
            30000);
        EXPECT_EQ(most, c.most) << c.setting;
        EXPECT_EQ(Queue().State(first + 1), RowState::Failed);
        for (int row : {first, first + 2, first + 3}) EXPECT_EQ(Queue().State(row), RowState::Done) << Queue().Reason(row);
        if (c.most == 1)
            EXPECT_EQ(endOrder, (std::vector<int>{first, first + 1, first + 2, first + 3}));
        else
            EXPECT_EQ(endOrder.back(), first) << "the slow first row ends last";
    }
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(EngineTest, RowsBelowARemovedRowConvertTheirOwnInputs)
{
    UseFakeEncoder();
    QueueScript("first.mp4", "write 10\nfinish", 4);
    QueueScript("second.mp4", "write 10\nfinish", 5);
    QueueScript("third.mp4", "write 10\nfinish", 6);
    Queue().Remove(0);
    Convert(1);
    EXPECT_EQ(Batch().RunningFiles()[0].input, work + "second.mp4");
    EXPECT_EQ(Batch().RunningFiles()[0].expectedSize, 5 * 117504);
    StatesUntilIdle(1);
    EXPECT_TRUE(FileExists(work + "\\second.mpg"));
    EXPECT_TRUE(FileExists(work + "\\third.mpg"));
    EXPECT_FALSE(FileExists(work + "\\first.mpg"));
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
        int row = Queue().Count();
        QueueScript("p" + std::to_string(row) + ".mp4", c.script);
        Convert(1);
        std::vector<std::string> seen = StatesUntilIdle(row);
        EXPECT_TRUE(Contains(seen, c.shown)) << c.shown;
        EXPECT_EQ(seen.back(), "Done");
    }
}

TEST_F(EngineTest, PausedEncoderDoesNotFinishTheRow)
{
    UseFakeEncoder();
    QueueScript("slow.mp4", "write 1000\nsleep 1800\nwrite 1000\nsleep 1200\nwrite 1000\nfinish");
    Convert(1);
    std::vector<std::string> doneSizes;
    PumpUntil(
        [&] {
            if (Queue().State(0) == RowState::Done && doneSizes.empty()) doneSizes.push_back(ReadFile(work + "\\slow.mpg"));
            return !Converting();
        },
        30000);
    ASSERT_EQ(doneSizes.size(), 1u);
    EXPECT_EQ(doneSizes[0].size(), 3000u) << "done only once the whole output is written";
}

TEST_F(EngineTest, AFailedRunKeepsTheEarlierOutputAndLeavesNoTemporary)
{
    UseFakeEncoder();
    WriteFile(work + "\\keep.mpg", "an earlier good file");
    struct Case {
        const char* script;
        std::string reason;
    } cases[] = {
        {"write 500\nexit 3", "The encoder ended with exit code 3."},
        {"finish", "The encoder wrote no output file."},
        {"touch\nfinish", "The encoder wrote no output file."},
        {"write 500\nsleep 200\nexit 0", "The encoder stopped before the end (exit code 0)."},
    };
    for (const Case& c : cases) {
        QueueScript("keep.mp4", c.script);
        Convert(2);
        StatesUntilIdle(Queue().Count() - 1);
        EXPECT_EQ(Queue().Reason(Queue().Count() - 1), c.reason);
        EXPECT_EQ(ReadFile(work + "\\keep.mpg"), "an earlier good file") << c.script;
        EXPECT_TRUE(NoTemporaryLeft()) << c.script;
    }
    QueueScript("keep.mp4", "write 700\nfinish");
    Convert(2);
    StatesUntilIdle(Queue().Count() - 1);
    EXPECT_EQ(ReadFile(work + "\\keep.mpg").size(), 700u) << "a good run replaces it";
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(EngineTest, AbandonedMidwayEndsOurEncodersAndRemovesTheirTemporaries)
{
    UseFakeEncoder();
    WriteFile(work + "\\long.mpg", "an earlier good file");
    QueueScript("long.mp4", "write 5000\nsleep 60000\nfinish");
    QueueScript("other.mp4", "write 5000\nsleep 60000\nfinish");
    Convert(2);
    ASSERT_TRUE(PumpUntil([&] { return FileExists(work + "\\other.~00") && FileExists(work + "\\long.~00"); },
                          10000));
    Batch().Abandon();
    EXPECT_FALSE(Converting());
    EXPECT_EQ(RunningProcesses("fake_encoder.exe"), 0);
    EXPECT_TRUE(NoTemporaryLeft());
    EXPECT_EQ(ReadFile(work + "\\long.mpg"), "an earlier good file");
    EXPECT_FALSE(FileExists(work + "\\other.mpg"));
}

TEST_F(EngineTest, EncoderThatCannotStartOrALogThatCannotBeMadeFailEachRowWithTheRightCulprit)
{
    setup.encoderPath = work + "no-such-encoder.exe";
    QueueScript("a.mp4", "exit 0");
    Convert(2);
    EXPECT_FALSE(Converting());
    const std::string& reason = Queue().Reason(0);
    EXPECT_EQ(reason.rfind("The encoder could not be started: ", 0), 0u) << reason;
    EXPECT_NE(reason.find(setup.encoderPath), std::string::npos) << reason;
    EXPECT_NE(reason.find("Security software"), std::string::npos) << reason;

    UseFakeEncoder();
    setup.logFolder = work + "no-such-folder\\";
    QueueScript("b.mp4", "exit 0");
    Convert(2);
    EXPECT_EQ(Queue().Reason(1).rfind("The encoder's log " + setup.logFolder + "ffmpeg_log.txt could not be made: ", 0), 0u)
        << Queue().Reason(1);
    EXPECT_EQ(Queue().Reason(1).find("Security software"), std::string::npos);
}

TEST_F(EngineTest, VanishedInputFailsWithoutAnEncoderAndTheBatchGoesOn)
{
    UseFakeEncoder();
    QueueScript("one.mp4", "write 10\nfinish");
    QueueScript("gone.mp4", "write 10\nfinish");
    QueueScript("three.mp4", "write 10\nfinish");
    DeleteFileA((work + "gone.mp4").c_str());
    Convert(2);
    StatesUntilIdle(2);
    EXPECT_EQ(Queue().State(0), RowState::Done) << Queue().Reason(0);
    EXPECT_EQ(Queue().State(1), RowState::Failed);
    EXPECT_EQ(Queue().Reason(1), "The file is no longer there.");
    EXPECT_EQ(Queue().State(2), RowState::Done) << Queue().Reason(2);
    EXPECT_FALSE(FileExists(work + "\\gone.mpg"));
}

TEST_F(EngineTest, SameNamedInputsWriteOutputsOfTheirOwn)
{
    UseFakeEncoder();
    for (const char* sub : {"one", "two"}) CreateDirectoryA((work + sub).c_str(), nullptr);
    QueueScript("one\\same.mp4", "write 100\nfinish");
    QueueScript("two\\same.mp4", "write 200\nfinish");
    Queue().Add(work + "one\\same.mp4", 1);  // the same input again writes a file of its own while the first runs
    Convert(3);
    StatesUntilIdle(2);
    EXPECT_EQ(ReadFile(work + "\\same.mpg").size(), 100u);
    EXPECT_EQ(ReadFile(work + "\\same (2).mpg").size(), 200u);
    EXPECT_EQ(ReadFile(work + "\\same (3).mpg").size(), 100u);
}

TEST_F(EngineTest, RealEncoderFailureIsExplainedAndItsLogRemovedAtTheEnd)
{
    const std::string clip = work + "clip.mp4";
    MakeClip(clip, 1);
    session->ChooseOutputFolder(work + "no-such-folder");
    QueueFile(clip, 2);
    session->Start();
    PumpUntil([&] { return !session->Busy(); }, 60000);
    ASSERT_EQ(session->Queue().State(0), RowState::Failed);
    // What a click on "Failed" says: the encoder's exit code (its own error number), and why.
    const std::string said = session->ReasonMessage(0);
    EXPECT_EQ(said.rfind("clip.mp4 was not converted. The encoder ended with exit code ", 0), 0u) << said;
    const std::string why = ": " + work + "no-such-folder\\clip.mpg: No such file or directory.";
    EXPECT_EQ(said.substr(said.size() - std::min(said.size(), why.size())), why) << said;

    const std::string log = batch::LogPath(session->Folders().temp, 0);
    EXPECT_TRUE(FileExists(log));
    session.reset();
    EXPECT_FALSE(FileExists(log));
    StartSession();  // for the fixture's tear-down
}

TEST_F(EngineTest, RealClipsBecomeMpegProgramStreamsTwoAtATime)
{
    const std::string clips = FreshFolder("clips");
    for (int i = 1; i <= 3; ++i) {
        std::string clip = clips + "clip" + std::to_string(i) + ".mp4";
        MakeClip(clip, 2);
        Queue().Add(clip, 3);
    }
    int mostAtOnce = 0;
    Convert(2);
    PumpUntil(
        [&] {
            mostAtOnce = std::max(mostAtOnce, RunningProcesses("ffmpeg.exe"));
            return !Converting();
        },
        180000);
    EXPECT_LE(mostAtOnce, 2);
    const std::string mediainfo = PayloadFolder() + "mediainfo.exe";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Queue().State(i), RowState::Done);
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
    EXPECT_TRUE(NoTemporaryLeft());
    RemoveTree(clips);
}

TEST_F(EngineTest, AReadOnlyEarlierOutputKeepsTheFinishedFileUnderAFreeName)
{
    UseFakeEncoder();
    WriteFile(work + "\\keep.mpg", "an earlier file the user protected");
    SetFileAttributesA((work + "\\keep.mpg").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteFile(work + "\\keep (2).mpg", "the user's own");
    QueueScript("keep.mp4", "write 700\nfinish");
    WriteFile(work + "keep.~00", "a download of the user's, not ours");
    Convert(2);
    StatesUntilIdle(0);

    EXPECT_EQ(Queue().State(0), RowState::Done);
    EXPECT_EQ(Queue().Output(0), work + "\\keep (3).mpg");
    EXPECT_EQ(ReadFile(work + "\\keep (3).mpg").size(), 700u);
    EXPECT_NE(Queue().Reason(0).find("saved as keep (3).mpg, since keep.mpg could not be replaced"), std::string::npos)
        << Queue().Reason(0);
    EXPECT_EQ(ReadFile(work + "\\keep.mpg"), "an earlier file the user protected");
    EXPECT_EQ(ReadFile(work + "keep.~00"), "a download of the user's, not ours");
    auto modified = [](const std::string& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    };
    EXPECT_EQ(modified(work + "\\keep (3).mpg"), modified(work + "keep.mp4")) << "the output keeps the input's time";
    SetFileAttributesA((work + "\\keep.mpg").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(EngineTest, AnOutputPathUpToTheLimitConvertsAndALongerOneConvertsOrSaysItIsTooLong)
{
    MakeClip(work + "a.mp4", 1);
    for (std::size_t length : {258u, 259u, 290u}) {  // the output path: work folder, "\\", name (a name within 255 bytes)
        const std::string input = work + std::string(length - work.size() - 5, 'n') + ".mp4";
        CopyFileW(fw::WidePath(work + "a.mp4").c_str(), fw::WidePath(input).c_str(), FALSE);
        Queue().Add(input, 2);
        Convert(1);
        StatesUntilIdle(Queue().Count() - 1, 60000);
        const int row = Queue().Count() - 1;
        if (length < MAX_PATH || Queue().State(row) == RowState::Done) {
            EXPECT_EQ(Queue().State(row), RowState::Done) << length << ": " << Queue().Reason(row);
            EXPECT_EQ(Queue().Output(row).size(), length);
            EXPECT_TRUE(fw::FileExists(Queue().Output(row)));
        } else {
            EXPECT_NE(Queue().Reason(row).find("The path is too long"), std::string::npos) << Queue().Reason(row);
        }
        EXPECT_TRUE(NoTemporaryLeft()) << length;
        DeleteFileW(fw::WidePath(input).c_str());  // past what the folder's removal reaches
        DeleteFileW(fw::WidePath(Queue().Output(row)).c_str());
    }
}

TEST_F(EngineTest, StopNowEndsOurEncodersRemovesTheirTemporariesAndPutsTheirRowsBack)
{
    UseFakeEncoder();
    QueueScript("a.mp4", "write 5000\nsleep 60000\nfinish");
    QueueScript("b.mp4", "write 5000\nsleep 60000\nfinish");
    QueueScript("c.mp4", "finish");
    Convert(2);
    ASSERT_TRUE(PumpUntil([&] { return FileExists(work + "\\a.~00") && FileExists(work + "\\b.~00"); }, 10000));
    EXPECT_FALSE(Queue().Add(work + "c.mp4", 1)) << "the queue takes no row during a batch";
    Batch().StopNow();
    EXPECT_TRUE(PumpUntil([&] { return !Converting(); }, 10000));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(State(row), "Pending") << row;
    }
    EXPECT_EQ(RunningProcesses("fake_encoder.exe"), 0);
    EXPECT_TRUE(NoTemporaryLeft());
    EXPECT_FALSE(Queue().Locked());
}

TEST_F(EngineTest, StopAfterTheRunningFilesLetsThemFinishAndStartsNoOther)
{
    UseFakeEncoder();
    QueueScript("a.mp4", "write 500\nsleep 800\nfinish");
    QueueScript("b.mp4", "finish");
    Convert(1);
    Batch().StopAfterRunning();
    StatesUntilIdle(0);
    EXPECT_EQ(Queue().State(0), RowState::Done) << Queue().Reason(0);
    EXPECT_EQ(Queue().State(1), RowState::Pending);
}

TEST_F(EngineTest, AFailedRowRetriedConvertsWithTheNextBatch)
{
    UseFakeEncoder();
    QueueScript("a.mp4", "exit 3");
    Convert(1);
    StatesUntilIdle(0);
    ASSERT_EQ(Queue().State(0), RowState::Failed);
    WriteFile(work + "a.mp4", "write 100\nfinish");
    EXPECT_TRUE(Queue().Retry(0));
    EXPECT_EQ(State(0), "Pending");
    EXPECT_EQ(Queue().Reason(0), "");
    Convert(1);
    StatesUntilIdle(0);
    EXPECT_EQ(Queue().State(0), RowState::Done);
}

TEST_F(EngineTest, AFolderPastMaxPathHandedOverQueuesAndConvertsItsClip)
{
    std::string folder = work;  // made a level at a time: each name short, the whole past 260
    while (fw::Wide(folder).size() < 280) {
        folder += std::string(40, 'f') + "\\";
        CreateDirectoryW(fw::WidePath(folder).c_str(), nullptr);
    }
    MakeClip(work + "clip.mp4", 1);
    ASSERT_TRUE(MoveFileW(fw::WidePath(work + "clip.mp4").c_str(), fw::WidePath(folder + "long.mp4").c_str()));
    // As the command line gives it: relative to the current folder.
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    SetCurrentDirectoryA(work.c_str());
    const std::string handedOver = fw::FullPath(folder.substr(work.size(), folder.size() - work.size() - 1));
    SetCurrentDirectoryW(current);
    EXPECT_EQ(handedOver + "\\", folder);

    session->Intake().AddItems({handedOver});
    ASSERT_EQ(session->Queue().Count(), 1);
    EXPECT_EQ(session->Queue().MediaSeconds(0), 2);
    session->Start();
    PumpUntil([&] { return !session->Busy(); }, 60000);
    EXPECT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
    EXPECT_TRUE(FileExists(work + "\\long.mpg"));
    RemoveDirectoryW(fw::WidePath(folder).c_str());  // the removal below does not reach so deep
    DeleteFileW(fw::WidePath(folder + "long.mp4").c_str());
    for (std::string up = folder; up.size() > work.size(); up = up.substr(0, up.rfind('\\', up.size() - 2) + 1))
        RemoveDirectoryW(fw::WidePath(up).c_str());
}

TEST_F(EngineTest, ARunStartedDuringAPauseWaitsForTheResume)
{
    UseFakeEncoder();
    // A picture larger than MPEG-1 holds, refused at once by every run.
    QueueScript("big.mp4", "say Stream #0:0: Video: h264, yuv420p, 8000x4000\n"
                           "say [mpeg1video @ 0x1] MPEG-1 video does not support resolutions above 4095x4095\nexit 1\n");
    Convert(1);
    // The refusal ends the run, and the batch pauses before it has looked.
    for (int i = 0; i < 200 && RunningProcesses("fake_encoder.exe") > 0; ++i) Sleep(50);
    batch.PauseOrResume();
    PumpFor(1000);
    EXPECT_EQ(RunningProcesses("fake_encoder.exe"), 1) << "the scaled run waits, paused";
    EXPECT_EQ(Queue().State(0), RowState::Converting);
    batch.PauseOrResume();
    StatesUntilIdle(0);
    EXPECT_EQ(Queue().State(0), RowState::Failed) << "refused again once it went on";
}

TEST_F(EngineTest, APausedEncoderWaitsWhereItIsGoesOnAfterAndStopsNowWithNothingLeft)
{
    UseFakeEncoder();
    std::string script;
    for (int i = 0; i < 400; ++i) script += "write 1000\nsleep 40\n";
    QueueScript("a.mp4", script + "finish\n", 100);
    QueueScript("b.mp4", "finish\n");
    const std::string written = work + "\\a.~00";
    auto size = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        return GetFileAttributesExA(written.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
    };
    Convert(1);
    ASSERT_TRUE(PumpUntil([&] { return size() > 2000 && State(0).find("% Done") != std::string::npos; }, 10000));
    batch.PauseOrResume();
    PumpFor(300);  // a write under way ends
    const DWORD paused = size();
    PumpFor(1000);
    EXPECT_EQ(size(), paused) << "the encoder writes nothing while paused";
    EXPECT_NE(State(0).find("% (paused)"), std::string::npos) << State(0);
    EXPECT_EQ(SetThreadExecutionState(0), static_cast<EXECUTION_STATE>(ES_CONTINUOUS)) << "the system may sleep";
    batch.PauseOrResume();
    EXPECT_TRUE(PumpUntil([&] { return size() > paused; }, 5000)) << "and goes on where it was";
    batch.PauseOrResume();
    Batch().StopNow();
    EXPECT_TRUE(PumpUntil([&] { return !Converting(); }, 10000));
    EXPECT_EQ(RunningProcesses("fake_encoder.exe"), 0);
    EXPECT_TRUE(NoTemporaryLeft());
    EXPECT_EQ(State(0), "Pending");
    EXPECT_EQ(State(1), "Pending") << "no row starts while paused";
}

TEST_F(EngineTest, ANamePastWindowsLimitsFailsItsRowWithTheReasonAndTheNextRowStillStarts)
{
    UseFakeEncoder();
    QueueScript("a.mp4", "write 100\nfinish");
    QueueScript("b.mp4", "write 100\nfinish");
    setup.choices.outputName = "{name}" + std::string(251, 'n');  // with ".mpg", 256 characters: one too many
    Convert(1);
    StatesUntilIdle(1);
    EXPECT_EQ(queue.State(0), RowState::Failed);
    EXPECT_EQ(queue.Reason(0), batch::kNameTooLong);
    EXPECT_EQ(queue.Reason(1), batch::kNameTooLong);
    setup.choices.outputName = "{n} {name}";
    queue.Retry(0);
    Convert(1);
    StatesUntilIdle(0);
    EXPECT_EQ(queue.Output(0), work + "\\001 a.mpg") << queue.Reason(0);
    // No temporary name left beside the output (as where a name opens a device): the row
    // says so, and the batch goes on.
    for (int n = 0; n < 100; ++n) WriteFile(work + "\\b.~" + (n < 10 ? "0" : "") + std::to_string(n), "");
    setup.choices.outputName = "{name}";
    queue.Retry(1);
    Convert(1);
    StatesUntilIdle(0);
    EXPECT_EQ(queue.Reason(1), encode::NoTemporaryName(work + "\\b.mpg"));
}
