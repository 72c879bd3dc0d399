// The duration probe with the real media tool, and with stand-ins that answer what a test needs.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "framework/errors.h"

using namespace testing_support;

namespace {

struct ProbeTest : FormTest {
    std::string work = FreshFolder("probe");

    void SetUp() override { StartForm(); }
    void TearDown() override
    {
        FormTest::TearDown();
        RemoveTree(work);
    }
    // A stand-in for the media tool: a batch file with these commands.
    void StandInTool(const std::string& commands)
    {
        WriteFile(work + "tool.bat", "@echo off\r\n" + commands + "\r\n");
        form->MediainfoPath = work + "tool.bat";
    }
    bool LeftBehind() const
    {
        return FileExists(form->TempDir + "open.bat") || FileExists(form->TempDir + "duration_time.txt");
    }
};

}  // namespace

TEST_F(ProbeTest, RealToolGivesTheSecondsPlusOneAndLeavesNothingBehind)
{
    MakeClip(work + "twelve.mp4", 12);
    EXPECT_EQ(form->ProbeDuration(work + "twelve.mp4"), "13");
    EXPECT_FALSE(LeftBehind());
}

TEST_F(ProbeTest, RealToolHasNoAnswerForFilesItCannotRead)
{
    MakeClip(work + "whole.mp4", 2);
    WriteFile(work + "empty.mp4", "");
    WriteFile(work + "text.mp4", "These are notes, not a film.\r\n");
    WriteFile(work + "truncated.mp4", ReadFile(work + "whole.mp4").substr(0, 600));
    for (const char* name : {"empty.mp4", "text.mp4", "truncated.mp4"}) {
        EXPECT_EQ(form->ProbeDuration(work + name), std::nullopt) << name;
        EXPECT_FALSE(LeftBehind()) << name;
    }
}

TEST_F(ProbeTest, PathWithShellCharactersProbesTheRightFile)
{
    std::string folder = work + "a&b^c!d (1)\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    MakeClip(folder + "x&y^z!.mp4", 3);
    MakeClip(work + "x.mp4", 6);  // what a wrongly cut path would name
    EXPECT_EQ(form->ProbeDuration(folder + "x&y^z!.mp4"), "4");
}

TEST_F(ProbeTest, BatchFileHasFourLinesWithPerCentSignsDoubled)
{
    form->TempDir = work;
    StandInTool("copy /y \"" + work + "open.bat\" \"" + work + "seen.bat\" >nul\r\necho 00:00:01.000");
    struct Case {
        std::string path;
        std::string line1;
    } cases[] = {
        {"C:\\clips\\plain.mp4", "set filein=\"C:\\clips\\plain.mp4\""},
        {"C:\\my clips\\50% & ^more.mp4", "set filein=\"C:\\my clips\\50%% & ^more.mp4\""},
    };
    for (const Case& c : cases) {
        DeleteFileA((work + "seen.bat").c_str());
        if (c.path.find('%') == std::string::npos) {
            EXPECT_EQ(form->ProbeDuration(c.path), "2");
        } else {
            // Wine's command interpreter expands a variable's value a second time, unlike
            // the one of Windows, and loses the redirection: only the batch file is checked.
            try {
                form->ProbeDuration(c.path);
            } catch (const fw::Exception&) {
            }
        }
        EXPECT_EQ(ReadFile(work + "seen.bat"),
                  c.line1 + "\r\n" + "set fileout=\"" + work + "duration_time.txt\"\r\n" + "set mediainfo=\"" +
                      form->MediainfoPath + "\"\r\n" +
                      "%mediainfo% --Inform=General;%%Duration/String3%% %filein% > %fileout%\r\n");
    }
}

TEST_F(ProbeTest, AnswersAreReadFromTheFirstLine)
{
    struct Case {
        const char* commands;
        std::optional<std::string> entry;
    } cases[] = {
        {"echo 01:02:03.999\r\necho garbage", "3724"},
        {"echo 23:59:59.999", "86400"},
        {"rem says nothing", std::nullopt},
        {"echo.", std::nullopt},
    };
    for (const Case& c : cases) {
        StandInTool(c.commands);
        EXPECT_EQ(form->ProbeDuration(work + "any.mp4"), c.entry) << c.commands;
        EXPECT_FALSE(LeftBehind());
    }
}

TEST_F(ProbeTest, TextThatIsNoTimeRaisesTheConversionError)
{
    for (const char* line : {"24:00:00.000", "00:01:23,456"}) {
        StandInTool(std::string("echo ") + line);
        try {
            form->ProbeDuration(work + "any.mp4");
            ADD_FAILURE() << line;
        } catch (const fw::EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(line) + "' is not a valid time");
        }
        EXPECT_FALSE(LeftBehind());
    }
}

TEST_F(ProbeTest, FilesThatCannotBeWrittenOrOpenedRaiseTheirErrors)
{
    form->TempDir = work + "missing\\";
    try {
        form->ProbeDuration(work + "any.mp4");
        ADD_FAILURE();
    } catch (const fw::EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + work + "missing\\open.bat\". ", 0), 0u)
            << e.what();
    }

    form->TempDir = work;
    StandInTool("rem");
    CreateDirectoryA((work + "duration_time.txt").c_str(), nullptr);  // the answer can be neither written nor read
    try {
        form->ProbeDuration(work + "any.mp4");
        ADD_FAILURE();
    } catch (const fw::EFOpenError& e) {
        std::string text = e.what();
        EXPECT_EQ(text.rfind("Cannot open file \"" + work + "duration_time.txt\". ", 0), 0u) << text;
        EXPECT_GT(text.size(), ("Cannot open file \"" + work + "duration_time.txt\". ").size()) << "with the system's text";
    }
    EXPECT_TRUE(FileExists(work + "open.bat")) << "the batch file stays until the next probe";
}

TEST_F(ProbeTest, ToolThatNeverEndsIsStoppedAndGivesNoAnswer)
{
    SetEnvironmentVariableA("ECHO_SLEEP_MS", "600000");
    StandInTool("\"" + ExeFolder() + "echo_args.exe\"");
    form->ProbeTimeLimitMs = 1500;
    DWORD start = GetTickCount();
    EXPECT_EQ(form->ProbeDuration(work + "any.mp4"), std::nullopt);
    EXPECT_LT(GetTickCount() - start, 15000u);
    SetEnvironmentVariableA("ECHO_SLEEP_MS", nullptr);
    EXPECT_FALSE(LeftBehind());
}
