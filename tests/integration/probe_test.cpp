// The duration probe with the real media tool, and with stand-ins that answer what a test needs.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "framework/LaunchLogic.h"
#include "framework/errors.h"
#include "queue/Probe.h"

using namespace testing_support;

namespace {

// The intake on a queue of its own, asking the staged media tool unless a test gives another.
struct ProbeTest : SessionTest {
    std::string work = FreshFolder("probe");
    std::string tool, temp;
    DWORD limit = 60000;

    void SetUp() override
    {
        StartSession();
        tool = session->Tools().Paths().mediainfo;
        temp = session->Folders().temp;
    }
    std::optional<int> Probe(const std::string& path)
    {
        TQueue queue;
        const app::TSessionEvents events;
        app::TIntake intake(queue, events,
                            {.mediaTool = [&] { return tool; }, .busy = [] { return false; }, .tempFolder = temp,
                             .probeTimeLimitMs = limit});
        return intake.ProbeDuration(path);
    }
    void TearDown() override
    {
        SessionTest::TearDown();
        RemoveTree(work);
    }
    // A stand-in for the media tool: a batch file with these commands.
    void StandInTool(const std::string& commands)
    {
        WriteFile(work + "tool.bat", "@echo off\r\n" + commands + "\r\n");
        tool = work + "tool.bat";
    }
    bool LeftBehind() const { return FileExists(temp + "duration_time.txt"); }
};

}  // namespace

TEST_F(ProbeTest, RealToolGivesTheSecondsPlusOneAndLeavesNothingBehind)
{
    MakeClip(work + "twelve.mp4", 12);
    EXPECT_EQ(Probe(work + "twelve.mp4"), 13);
    EXPECT_FALSE(LeftBehind());
}

TEST_F(ProbeTest, RealToolHasNoAnswerForFilesItCannotRead)
{
    MakeClip(work + "whole.mp4", 2);
    WriteFile(work + "empty.mp4", "");
    WriteFile(work + "text.mp4", "These are notes, not a film.\r\n");
    WriteFile(work + "truncated.mp4", ReadFile(work + "whole.mp4").substr(0, 600));
    for (const char* name : {"empty.mp4", "text.mp4", "truncated.mp4"}) {
        EXPECT_EQ(Probe(work + name), std::nullopt) << name;
        EXPECT_FALSE(LeftBehind()) << name;
    }
}

TEST_F(ProbeTest, PathWithShellCharactersProbesTheRightFile)
{
    std::string folder = work + "a&b^c!d (1)\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    MakeClip(folder + "x&y^z!.mp4", 3);
    MakeClip(work + "x.mp4", 6);  // what a wrongly cut path would name
    EXPECT_EQ(Probe(folder + "x&y^z!.mp4"), 4);
}

TEST_F(ProbeTest, ToolIsStartedDirectlyWithThePathWhole)
{
    const std::string seen = work + "seen.txt";
    SetEnvironmentVariableA("ECHO_OUT", seen.c_str());
    tool = ExeFolder() + "echo_args.exe";
    const std::string path = "C:\\my clips\\50% & ^more!.mp4";
    EXPECT_EQ(Probe(path), std::nullopt);  // the stand-in says nothing
    SetEnvironmentVariableA("ECHO_OUT", nullptr);
    const std::string text = ReadFile(seen);
    EXPECT_EQ(text.substr(0, text.find('\n')),
              fw::BuildCommandLine(tool, "--Inform=General;%Duration/String3% \"" + path + "\""));
    EXPECT_FALSE(LeftBehind());
}

TEST_F(ProbeTest, AnswersAreReadFromTheFirstLine)
{
    struct Case {
        const char* commands;
        std::optional<int> entry;
    } cases[] = {
        {"echo 01:02:03.999\r\necho garbage", 3724},
        {"echo 23:59:59.999", 86400},
        {"rem says nothing", std::nullopt},
        {"echo.", std::nullopt},
    };
    for (const Case& c : cases) {
        StandInTool(c.commands);
        EXPECT_EQ(Probe(work + "any.mp4"), c.entry) << c.commands;
        EXPECT_FALSE(LeftBehind());
    }
}

TEST_F(ProbeTest, TextThatIsNoTimeRaisesTheConversionError)
{
    for (const char* line : {"24:00:00.000", "00:01:23,456"}) {
        StandInTool(std::string("echo ") + line);
        try {
            Probe(work + "any.mp4");
            ADD_FAILURE() << line;
        } catch (const fw::EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(line) + "' is not a valid time");
        }
        EXPECT_FALSE(LeftBehind());
    }
}

TEST_F(ProbeTest, AnswerThatCannotBeWrittenOrReadAndAToolThatCannotStartRaise)
{
    temp = work + "missing\\";
    try {
        Probe(work + "any.mp4");
        ADD_FAILURE();
    } catch (const fw::EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + work + "missing\\duration_time.txt\". ", 0), 0u)
            << e.what();
    }

    temp = work;
    StandInTool("del \"" + work + "duration_time.txt\"");  // the answer is gone when it is read
    try {
        Probe(work + "any.mp4");
        ADD_FAILURE();
    } catch (const fw::EFOpenError& e) {
        std::string text = e.what();
        EXPECT_EQ(text.rfind("Cannot open file \"" + work + "duration_time.txt\". ", 0), 0u) << text;
        EXPECT_GT(text.size(), ("Cannot open file \"" + work + "duration_time.txt\". ").size()) << "with the system's text";
    }

    tool = work + "gone\\mediainfo.exe";
    try {
        Probe(work + "any.mp4");
        ADD_FAILURE();
    } catch (const fw::Exception& e) {
        EXPECT_EQ(std::string(e.what()).rfind("The media tool could not be started: ", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find(tool), std::string::npos) << e.what();
    }
    EXPECT_FALSE(LeftBehind());
}

TEST_F(ProbeTest, ToolThatNeverEndsIsStoppedAndGivesNoAnswer)
{
    SetEnvironmentVariableA("ECHO_SLEEP_MS", "600000");
    tool = ExeFolder() + "echo_args.exe";
    limit = 1500;
    DWORD start = GetTickCount();
    EXPECT_EQ(Probe(work + "any.mp4"), std::nullopt);
    EXPECT_LT(GetTickCount() - start, 15000u);
    SetEnvironmentVariableA("ECHO_SLEEP_MS", nullptr);
    EXPECT_FALSE(LeftBehind());
}

TEST_F(ProbeTest, ABudgetUsedUpElsewhereStillTakesTheAnswerOfAToolThatHasEnded)
{
    SetEnvironmentVariableA("ECHO_PRINT", "00:00:05.000");
    const std::string answer = work + "answer.txt";
    DurationProbe probe(ExeFolder() + "echo_args.exe", work + "any.mp4", answer, 0);
    // The tool ends meanwhile, as while the other probe of a folder is read.
    PumpUntil([&] { return ReadFile(answer).size() > 0; }, 15000);
    Sleep(1000);
    SetEnvironmentVariableA("ECHO_PRINT", nullptr);
    ASSERT_TRUE(probe.Wait());
    EXPECT_EQ(queue::MediaSecondsFromAnswer(probe.AnswerLines()), 6);
}
