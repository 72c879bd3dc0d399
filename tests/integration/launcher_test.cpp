// The launcher with real child processes: command lines, working folders, waiting.
#include <gtest/gtest.h>

#include "framework/LaunchLogic.h"
#include "framework/Launcher.h"
#include "framework/Worker.h"
#include "support.h"

using namespace testing_support;

namespace {

struct Echo {
    std::string commandLine;
    std::string folder;
};

struct LauncherTest : ::testing::Test {
    std::string work = FreshFolder("launch");
    std::string echoOut = work + "echo.txt";
    std::string echoExe = ExeFolder() + "echo_args.exe";

    void SetUp() override { SetEnvironmentVariableA("ECHO_OUT", echoOut.c_str()); }
    void TearDown() override
    {
        SetEnvironmentVariableA("ECHO_OUT", nullptr);
        SetEnvironmentVariableA("ECHO_SLEEP_MS", nullptr);
        RemoveTree(work);
    }
    // Starts the program without a console and waits for it; empty when it did not start.
    fw::unique_handle Run(const std::string& program, const std::string& params)
    {
        fw::StartError error;
        fw::unique_handle process = fw::StartWithoutConsole(program, params, {work + "out.txt"}, error);
        if (process) fw::WaitAnswering(process.get());
        return process;
    }
    Echo RunEcho(const std::string& program, const std::string& params)
    {
        DeleteFileA(echoOut.c_str());
        EXPECT_TRUE(Run(program, params));
        std::string text = ReadFile(echoOut);
        std::size_t cut = text.find('\n');
        return {text.substr(0, cut), text.substr(cut + 1, text.size() - cut - 2)};
    }
};

int paintCount = 0;

LRESULT CALLBACK CountPaints(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT) return DefWindowProcA(window, msg, wParam, lParam);
    ++paintCount;
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    EndPaint(window, &ps);
    return 0;
}

}  // namespace

TEST_F(LauncherTest, CommandLineIsProgramBlankParametersWhole)
{
    // The program as the line shows it: quoted, should the build folder hold a blank.
    EXPECT_EQ(RunEcho(echoExe, "").commandLine, fw::BuildCommandLine(echoExe, ""));
    EXPECT_EQ(RunEcho(echoExe, " -i \"a.mp4\"").commandLine, fw::BuildCommandLine(echoExe, " -i \"a.mp4\""));
    for (std::size_t length : {512u, 2000u}) {
        std::string params(length - fw::BuildCommandLine(echoExe, "").size(), 'p');
        std::string line = RunEcho(echoExe, params).commandLine;
        EXPECT_EQ(line.size(), length);
        EXPECT_EQ(line, fw::BuildCommandLine(echoExe, params));
    }
}

TEST_F(LauncherTest, WorkingFolderFollowsTheProgramPath)
{
    // A program in a folder.
    CopyFileA(echoExe.c_str(), (work + "echo_args.exe").c_str(), FALSE);
    EXPECT_EQ(RunEcho(work + "echo_args.exe", "").folder, work.substr(0, work.size() - 1));

    // A bare name in the current folder gets the current folder.
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    SetCurrentDirectoryA(work.c_str());
    EXPECT_EQ(RunEcho("echo_args.exe", "").folder, work.substr(0, work.size() - 1));
    SetCurrentDirectoryA(before);

    // A bare name found through Path gets the folder of that Path entry.
    std::string onPath = FreshFolder("onpath");
    CopyFileA(echoExe.c_str(), (onPath + "echo_onpath.exe").c_str(), FALSE);
    char path[8192] = {};
    GetEnvironmentVariableA("Path", path, sizeof path);
    SetEnvironmentVariableA("Path", (std::string(path) + ";" + onPath).c_str());
    EXPECT_EQ(RunEcho("echo_onpath.exe", "").folder, onPath.substr(0, onPath.size() - 1));
    SetEnvironmentVariableA("Path", path);
    RemoveTree(onPath);
}

TEST_F(LauncherTest, ProgramAtADriveRootRunsInTheRootWithItsBackslash)
{
    std::string root = "C:\\mervane_echo_root.exe";
    ASSERT_TRUE(CopyFileA(echoExe.c_str(), root.c_str(), FALSE));
    EXPECT_EQ(RunEcho(root, "").folder, "C:\\");
    DeleteFileA(root.c_str());
}

TEST_F(LauncherTest, SearchProgramPathLooksInTheExtraFolderFirst)
{
    CopyFileA(echoExe.c_str(), (work + "findme.exe").c_str(), FALSE);
    EXPECT_EQ(fw::SearchProgramPath("findme.exe", work), work + "findme.exe");
    EXPECT_EQ(fw::SearchProgramPath("findme.exe", work.substr(0, work.size() - 1)), work + "findme.exe");
    EXPECT_EQ(fw::SearchProgramPath("nowhere-to-be-found.exe", work), "");
}

TEST_F(LauncherTest, WaitingReturnsAfterTheChildEndedAndKeepsTheWindowPainted)
{
    HWND window = MakeTestWindow("LauncherPaintProbe", &CountPaints, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    PumpFor(200);
    paintCount = 0;
    PostMessageA(window, WM_USER, 0, 0);  // a posted message stays queued during the wait

    std::thread invalidator([window] {
        for (int i = 0; i < 5; ++i) {
            Sleep(150);
            InvalidateRect(window, nullptr, TRUE);
        }
    });
    SetEnvironmentVariableA("ECHO_SLEEP_MS", "1200");
    DWORD start = GetTickCount();
    EXPECT_TRUE(Run(echoExe, ""));
    DWORD waited = GetTickCount() - start;
    invalidator.join();

    EXPECT_GE(waited, 1100u);
    EXPECT_GE(paintCount, 2);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, window, WM_USER, WM_USER, PM_REMOVE));
    DestroyWindow(window);
}

TEST_F(LauncherTest, StartedProcessIsHandedBackWithItsExitCodeAndItsPriority)
{
    SetEnvironmentVariableA("ECHO_EXIT", "7");
    SetEnvironmentVariableA("ECHO_SLEEP_MS", "500");
    fw::StartError error;
    fw::unique_handle process =
        fw::StartWithoutConsole(echoExe, "", {work + "out.txt"}, error, BELOW_NORMAL_PRIORITY_CLASS);
    SetEnvironmentVariableA("ECHO_EXIT", nullptr);
    ASSERT_TRUE(process);
    EXPECT_EQ(GetPriorityClass(process.get()), static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
    ASSERT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 7u);
}

TEST_F(LauncherTest, ProgramPathWithABlankIsQuotedAndNeverTakenByItsFirstWord)
{
    CreateDirectoryA((work + "my tools").c_str(), nullptr);
    const std::string program = work + "my tools\\echo.exe";
    CopyFileA(echoExe.c_str(), program.c_str(), FALSE);
    CopyFileA((ExeFolder() + "fake_encoder.exe").c_str(), (work + "my.exe").c_str(), FALSE);  // writes no echo
    Echo echo = RunEcho(program, "-x");
    EXPECT_EQ(echo.commandLine, "\"" + program + "\" -x");
    EXPECT_EQ(echo.folder, work + "my tools");
}

TEST_F(LauncherTest, WithoutConsoleTheOutputGoesToItsFileAndStaysOutOfOtherChildren)
{
    const std::string fake = ExeFolder() + "fake_encoder.exe";
    auto start = [&](const std::string& name, const std::string& script) {
        WriteFile(work + name + ".script", script);
        fw::StartError error;
        fw::unique_handle process = fw::StartWithoutConsole(
            fake, "-i \"" + work + name + ".script\" \"" + work + name + ".out\"", {work + name + ".log", true}, error);
        EXPECT_TRUE(process) << error.code;
        return process;
    };
    fw::unique_handle quick = start("quick", "say first words\nfinish\n");
    fw::unique_handle slow = start("slow", "sleep 9000\nexit 0\n");
    ASSERT_EQ(WaitForSingleObject(quick.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(ReadFile(work + "quick.log").rfind("first words\r\n", 0), 0u);
    EXPECT_NE(ReadFile(work + "quick.log").find("muxing overhead"), std::string::npos);
    // Only the slow child still runs: nobody else may hold the quick one's log.
    // (Wine signals a process a moment before it has let go of its handles.)
    fw::unique_handle alone;
    for (int i = 0; i < 30 && !alone; ++i, Sleep(100))
        alone.reset(CreateFileA((work + "quick.log").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(alone) << GetLastError();
    alone.reset();
    TerminateProcess(slow.get(), 1);
    WaitForSingleObject(slow.get(), 5000);

    // The program and the output file fail apart, so that a log that cannot be made is
    // never blamed on the program.
    fw::StartError error;
    EXPECT_FALSE(fw::StartWithoutConsole(work + "missing.exe", "", {work + "m.log"}, error));
    EXPECT_EQ(error.code, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(error.outputFile);
    EXPECT_FALSE(fw::StartWithoutConsole(fake, "", {work + "no-such-folder\\m.log"}, error));
    EXPECT_EQ(error.code, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(error.outputFile);
}

TEST(Worker, TellsItsEndOnTheWindowsThreadOnceAndNeverAfterItsCancellation)
{
    DWORD workedOn = 0, endedOn = 0;
    int ends = 0;
    {
        fw::TWorker worker;
        worker.Start([&] { workedOn = GetCurrentThreadId(); }, [&] { endedOn = GetCurrentThreadId(), ++ends; });
        EXPECT_TRUE(PumpUntil([&] { return ends > 0; }, 5000));
        PumpFor(200);
        EXPECT_TRUE(worker.Ended());
    }
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(endedOn, GetCurrentThreadId());
    EXPECT_NE(workedOn, GetCurrentThreadId()) << "the work has a thread of its own";
    // Cancelled while it works: the work ends, and nobody is told.
    {
        fw::TWorker worker;
        worker.Start([] { Sleep(300); }, [&] { ++ends; });
        worker.Join();
        EXPECT_TRUE(worker.Ended());
    }
    PumpFor(300);
    EXPECT_EQ(ends, 1);
}
