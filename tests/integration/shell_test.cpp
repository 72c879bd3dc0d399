// The program as a whole process: one copy at a time, and the close button.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/AppLogic.h"
#include "app/ExplorerVerb.h"
#include "app/MainInstance.h"
#include "app/Session.h"
#include "app/Settings.h"
#include "framework/Files.h"
#include "framework/Launcher.h"
#include "program.h"
#include "support.h"

using namespace testing_support;

namespace {

std::string ToolFolder()
{
    return app::ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte);
}

// The tools are written once the window shows; they are whole when the encoder, written
// last, has all its bytes and is no longer held.
bool WaitForStagedTools(const std::string& tools)
{
    WIN32_FILE_ATTRIBUTE_DATA payload{};
    GetFileAttributesExA((PayloadFolder() + "ffmpeg.exe").c_str(), GetFileExInfoStandard, &payload);
    return PumpUntil(
        [&] {
            fw::unique_handle file(CreateFileA((tools + "ffmpeg.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            return file && GetFileSize(file.get(), nullptr) == payload.nFileSizeLow;
        },
        20000);
}

FILETIME LastWrite(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// A window of another process that looks like a running copy: the program's application
// window class and title. It records what a second copy forwards.
struct StandInCopy {
    static inline std::vector<std::vector<std::string>> handed;
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            if (data->dwData != app::kArgumentBlockTag) return FALSE;
            handed.push_back(app::UnpackArguments({static_cast<const char*>(data->lpData), data->cbData})
                                 .value_or(std::vector<std::string>{"(not a block)"}));
            return TRUE;
        }
        return DefWindowProcA(w, m, wp, lp);
    }
    HWND window = nullptr;
    StandInCopy()
    {
        handed.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TApplication";
        RegisterClassA(&wc);  // already there when the test's own application made it
        window = CreateWindowExA(0, "TApplication", "Mervane", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
    }
    ~StandInCopy() { DestroyWindow(window); }
};

// The program run as a script runs it, its standard output and error going to `log`: its
// exit code (or -1 when it did not end in three minutes) and what it wrote there.
std::pair<int, std::string> RunScripted(const std::string& arguments, const std::string& log)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    fw::unique_handle out(CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = out.get();
    PROCESS_INFORMATION info{};
    std::string line = "\"" + ProgramPath() + "\" " + arguments;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) return {-1, "not started"};
    fw::unique_handle process(info.hProcess), thread(info.hThread);
    out.reset();
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.get(), 180000) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
    else TerminateProcess(process.get(), 9);
    return {static_cast<int>(code), ReadFile(log)};
}

}  // namespace

TEST(SingleInstance, SecondCopyBringsTheFirstBackAndEndsWithoutTouchingAnything)
{
    DeleteSettings();
    DeleteFileA((ToolFolder() + "ffmpeg.exe").c_str());  // one left by an earlier run would pass for the staged one
    RunningProgram first;
    HWND window = first.WaitForWindow();
    ASSERT_TRUE(window);
    const std::string tools = ToolFolder();
    ASSERT_TRUE(WaitForStagedTools(tools));
    const FILETIME staged = LastWrite(tools + "ffmpeg.exe");
    ShowWindow(window, SW_MINIMIZE);
    PumpUntil([&] { return IsIconic(window) != FALSE; }, 5000);
    ASSERT_TRUE(IsIconic(window));
    DeleteSettings();

    RunningProgram second;
    int shownBySecond = 0;
    PumpUntil(
        [&] {
            shownBySecond = std::max(shownBySecond, second.VisibleWindows());
            return !second.Running();
        },
        30000);
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_EQ(shownBySecond, 0);
    PumpUntil([&] { return !IsIconic(window); }, 5000);
    EXPECT_FALSE(IsIconic(window)) << "the first copy is restored";
    std::string value;
    EXPECT_FALSE(ReadSetting("WorkDir", value)) << "the second copy wrote no setting";
    EXPECT_TRUE(FileExists(tools + "ffmpeg.exe")) << "the second copy deleted nothing";
    FILETIME after = LastWrite(tools + "ffmpeg.exe");
    EXPECT_EQ(CompareFileTime(&staged, &after), 0) << "the second copy staged nothing";

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitForExit(), 0);
    EXPECT_FALSE(FileExists(tools + "ffmpeg.exe")) << "a normal end removes the tools";
}

TEST(SingleInstance, ASecondCopyHandsItsArgumentsOverWholeAsFullPaths)
{
    StandInCopy running;
    {
        RunningProgram second("\"C:\\my clips\\b c.mp4\" \"D:\\x y\" plain.mp4");
        EXPECT_EQ(second.WaitForExit(), 0);
    }
    ASSERT_EQ(StandInCopy::handed.size(), 1u);
    const std::vector<std::string>& args = StandInCopy::handed[0];
    ASSERT_EQ(args.size(), 3u);
    EXPECT_EQ(args[0], "C:\\my clips\\b c.mp4");
    EXPECT_EQ(args[1], "D:\\x y");
    EXPECT_EQ(args[2].substr(1, 2), ":\\") << "made absolute: " << args[2];
    EXPECT_EQ(args[2].substr(args[2].size() - 10), "\\plain.mp4");
    {
        RunningProgram bare;
        EXPECT_EQ(bare.WaitForExit(), 0);
    }
    EXPECT_EQ(StandInCopy::handed.size(), 1u) << "a copy without arguments hands nothing over";
}

// A running copy that is closing: it holds the one-copy lock and shows its windows, then
// answers a hand-over by ending, which frees the lock.
struct ClosingCopy {
    static inline HANDLE lock = nullptr;
    static inline HWND mainWindow = nullptr;
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m != WM_COPYDATA) return DefWindowProcA(w, m, wp, lp);
        DestroyWindow(mainWindow);
        DestroyWindow(w);
        ReleaseMutex(lock);
        return FALSE;
    }
    fw::unique_handle mutex{CreateMutexA(nullptr, TRUE, "Local\\Mervane.OneCopy")};
    ClosingCopy()
    {
        lock = mutex.get();
        mainWindow = MakeTestWindow("TfrmMain", &DefWindowProcA, WS_POPUP);
        HWND application = CreateWindowExA(0, "TApplication", "Mervane", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                           GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(application, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
    }
};

TEST(SingleInstance, AHandOverToACopyThatIsClosingEndsInOneRunningCopyWithTheFileQueued)
{
    DeleteSettings();
    const std::string work = FreshFolder("closing");
    MakeClip(work + "clip.mp4", 1);
    std::unique_ptr<RunningProgram> program;
    {
        ClosingCopy closing;
        program = std::make_unique<RunningProgram>("\"" + work + "clip.mp4\"");
        PumpUntil([&] { return !IsWindow(ClosingCopy::mainWindow) || !program->Running(); }, 20000);
    }
    HWND window = program->WaitForWindow();
    ASSERT_TRUE(window) << "the new copy took the running copy's place";
    HWND list = FindWindowExA(window, nullptr, "SysListView32", nullptr);
    EXPECT_TRUE(PumpUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }, 30000));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program->WaitForExit(), 0);
    RemoveTree(work);
}

TEST(CloseButton, LeavesAnotherProgramsEncoderOfTheStagedToolRunningAndExitsWithZero)
{
    DeleteSettings();
    RunningProgram program;
    HWND window = program.WaitForWindow();
    ASSERT_TRUE(window);
    const std::string tools = ToolFolder();
    const std::string work = FreshFolder("close");
    ASSERT_TRUE(WaitForStagedTools(tools));

    // As the same user's copy in another session would run it.
    fw::unique_handle other =
        StartHidden(tools + "ffmpeg.exe", "-v error -re -f lavfi -i testsrc=rate=25 -t 60 -y \"" + work + "other.mpg\"");
    ASSERT_TRUE(other);
    PumpUntil([&] { return FileExists(work + "other.mpg") && ReadFile(work + "other.mpg").size() > 0; }, 20000);

    HWND closeButton = ChildWindowFromPoint(window, POINT{475, 24});
    char className[64] = {};
    GetClassNameA(closeButton, className, sizeof className);
    ASSERT_STREQ(className, "TEzRgnBtn");
    ClickAt(closeButton, 11, 10);
    EXPECT_EQ(program.WaitForExit(30000), 0);

    EXPECT_EQ(WaitForSingleObject(other.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "an encoder we did not start runs on";
    EXPECT_TRUE(FileExists(tools + "ffmpeg.exe")) << "the tool it runs stays";
    for (const char* name : {"mediainfo.exe", "fonts\\DejaVuSans.ttf"}) EXPECT_FALSE(FileExists(tools + name)) << name;

    TerminateProcess(other.get(), 1);
    WaitForSingleObject(other.get(), 5000);
    PumpFor(300);
    SetFileAttributesA((tools + "ffmpeg.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((tools + "ffmpeg.exe").c_str());
    RemoveTree(work);
}

TEST(CommandLine, ConvertsUnattendedForThisRunOnlyAndEndsWithAnExitCode)
{
    DeleteSettings();
    const std::string work = FreshFolder("scripted");
    MakeClip(work + "a.mp4", 1);
    CopyFileA((work + "a.mp4").c_str(), (work + "b.mp4").c_str(), FALSE);
    const std::string clips = " \"" + work + "a.mp4\" \"" + work + "b.mp4\"";
    const auto [usage, said] = RunScripted("/to nonsense" + clips, work + "usage.log");
    EXPECT_EQ(usage, 3);
    EXPECT_NE(said.find("Not a value of /to: nonsense"), std::string::npos) << said;
    EXPECT_NE(said.find("Usage: Mervane.exe"), std::string::npos) << said;
    const auto [done, log] = RunScripted("/to dvd-pal /convert /close /out \"" + work + "out\"" + clips, work + "done.log");
    EXPECT_EQ(done, 0) << log;
    for (const char* name : {"a.mpg", "b.mpg"}) {
        const std::string mpg = FileExists(work + "out\\" + name) ? ReadFile(work + "out\\" + name) : std::string();
        ASSERT_GT(mpg.size(), 5u) << name;
        EXPECT_EQ(mpg.substr(0, 4), std::string("\0\0\1\xBA", 4)) << name;
        EXPECT_EQ(static_cast<unsigned char>(mpg[4]) & 0xC0, 0x40) << name << ": an MPEG-2 program stream, as a DVD's";
    }
    const TSettings kept = TSettings::Read();
    EXPECT_EQ(kept.Choices().target, encode::Target::Mpeg) << "the options were for that run only";
    EXPECT_NE(kept.OutputFolder().value_or(""), work + "out");
    const auto [failed, why] = RunScripted("/convert /close /out \"" + work + "no\\such\" \"" + work + "a.mp4\"", work + "failed.log");
    EXPECT_EQ(failed, 1) << why;
    RemoveTree(work);
}

TEST(ExplorerVerb, WrittenForTheProgramThatRunsAndRemovedLeavingTheClassesAsTheyWere)
{
    DeleteSettings();
    // The user's own: a verb beside ours on folders, and a class of another program.
    for (const char* key : {"Directory\\shell\\Other.Verb", "Other.Program"})
        RunAndCapture("reg add \"HKCU\\Software\\Classes\\" + std::string(key) + "\" /ve /d \"theirs\" /f");
    const std::string classes = "reg query HKCU\\Software\\Classes /s";
    const std::string before = RunAndCapture(classes);
    {
        app::TSession session;
        session.ShowInExplorer(true);
        app::WriteExplorerVerb("C:\\moved\\Mervane.exe");
        session.Settle();  // each start points the verb at the program that runs
        for (const char* parent : app::kVerbParents) {
            const std::string verb = "HKCU\\" + std::string(parent) + "\\shell\\Mervane.Convert";
            const std::string listed = RunAndCapture("reg query \"" + verb + "\" /s");
            for (const std::string& line : {std::string("REG_SZ    Convert with Mervane"), std::string("MultiSelectModel    REG_SZ    Player"),
                                            "REG_SZ    \"" + fw::ProgramPath() + "\" \"%1\""})
                EXPECT_NE(listed.find(line), std::string::npos) << line << " in " << listed;
        }
        EXPECT_TRUE(TSettings::Read().ExplorerVerb());
        session.ShowInExplorer(false);
        session.Close();
    }
    EXPECT_EQ(RunAndCapture(classes), before) << "nothing else touched";
    EXPECT_FALSE(TSettings::Read().ExplorerVerb());
    for (const char* key : {"Directory", "Other.Program"}) RunAndCapture("reg delete \"HKCU\\Software\\Classes\\" + std::string(key) + "\" /f");
}

TEST(ExplorerVerb, FortySelectedItemsStartFortyCopiesThatArriveAsOneBurst)
{
    DeleteSettings();
    const std::string work = FreshFolder("selected");
    MakeClip(work + "clip00.mp4", 1);
    std::vector<std::string> items{work + "first.txt"};
    for (int i = 1; i < 39; ++i) {
        items.push_back(work + "clip" + std::to_string(100 + i).substr(1) + ".mp4");
        CopyFileA((work + "clip00.mp4").c_str(), items.back().c_str(), FALSE);
    }
    items.push_back(work + "last.txt");
    for (const char* text : {"first.txt", "last.txt"}) WriteFile(work + text, "notes");
    // As Explorer starts the verb: one copy for each item, all at once.
    std::vector<std::unique_ptr<RunningProgram>> copies;
    for (const std::string& item : items) copies.push_back(std::make_unique<RunningProgram>("\"" + item + "\""));
    HWND window = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (window = FindWindowA("TfrmMain", nullptr)) != nullptr; }, 60000));
    HWND list = FindWindowExA(window, nullptr, "SysListView32", nullptr);
    EXPECT_TRUE(PumpUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 38; }, 60000));
    // One burst: one message names both files that were not added.
    HWND said = nullptr;
    PumpUntil([&] { return (said = FindWindowA("#32770", nullptr)) != nullptr; }, 10000);
    const std::string text = said ? DialogText(said) : std::string();
    EXPECT_NE(text.find("first.txt"), std::string::npos) << text << " " << (said != nullptr);
    EXPECT_NE(text.find("last.txt"), std::string::npos) << text;
    if (said) PostMessageA(said, WM_COMMAND, IDOK, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    for (const auto& copy : copies) EXPECT_EQ(copy->WaitForExit(), 0);
    RemoveTree(work);
}
