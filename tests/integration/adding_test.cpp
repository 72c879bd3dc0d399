// Adding files and folders through the system dialogs, and choosing the output folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <thread>

#include "encode/FitLogic.h"
#include "form_fixture.h"
#include "framework/Application.h"
#include "framework/LaunchLogic.h"
#include "framework/Unicode.h"
#include "queue/FindFile.h"
#include "queue/QueueLogic.h"
#include "ui/EzRgnBtn.h"

using namespace testing_support;

namespace {

// The text of the folder browser's selected item.
std::string SelectedFolderName(HWND dialog)
{
    HWND tree = FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
    if (!tree) return {};
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    char text[MAX_PATH] = {};
    TVITEMA info{};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = sizeof text;
    if (item) SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return text;
}

// Answers the shell's folder browser with a folder once the browser shows it selected.
std::function<bool(HWND)> ChooseFolder(const std::string& folder)
{
    return [folder](HWND dialog) {
        char title[256] = {};
        GetWindowTextA(dialog, title, sizeof title);
        if (std::string(title).find("Browse") == std::string::npos) return false;
        std::string trimmed = folder.back() == '\\' && folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder;
        std::string leaf = trimmed.size() <= 3 ? trimmed.substr(0, 2) : trimmed.substr(trimmed.rfind('\\') + 1);
        for (int attempt = 0; attempt < 50; ++attempt) {
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
            Sleep(100);
            if (SelectedFolderName(dialog).find(leaf) != std::string::npos) break;
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    };
}

// Types a path into the open dialog's file name box and confirms it.
std::function<bool(HWND)> OpenFile(const std::string& path)
{
    return [path](HWND dialog) {
        HWND nameBox = GetDlgItem(dialog, 0x47C);  // the file name combo box
        if (!nameBox) nameBox = GetDlgItem(dialog, 0x480);
        if (!nameBox) return false;
        SetWindowTextA(nameBox, path.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    };
}

struct AddingTest : FormTest {
    std::string work = FreshFolder("adding");
    void SetUp() override
    {
        DeleteSettings();
        StartForm();
    }
    void TearDown() override
    {
        FormTest::TearDown();
        RemoveTree(work);
        DeleteSettings();
    }
    std::vector<std::string> QueuedPaths()
    {
        std::vector<std::string> paths;
        for (int i = 0; i < session->Queue().Count(); ++i) paths.push_back(session->Queue().Path(i));
        return paths;
    }
    std::vector<std::string> Messages(const DialogWatcher& watcher)
    {
        std::vector<std::string> texts;
        for (const auto& seen : watcher.Seen_())
            if (seen.title == fw::Application->Title()) texts.push_back(seen.text);
        return texts;
    }
};

}  // namespace

TEST_F(AddingTest, SingleFileIsProbedAndQueued)
{
    MakeClip(work + "one.mp4", 2);
    DialogWatcher dialogs(OpenFile(work + "one.mp4"));
    Press("AddFileButton");
    EXPECT_EQ(QueuedPaths(), std::vector<std::string>{work + "one.mp4"});
    EXPECT_EQ(session->Queue().MediaSeconds(0), 3);
    EXPECT_EQ(Control("FileEdit").Text(), work + "one.mp4");
}

TEST_F(AddingTest, SingleFileWithoutAnAnswerShowsThePlainMessage)
{
    WriteFile(work + "bad.mp4", "not a film");
    DialogWatcher dialogs;
    session->Intake().AddChosenFile(work + "bad.mp4");
    EXPECT_TRUE(QueuedPaths().empty());
    EXPECT_EQ(session->Intake().LastFile(), "");
    EXPECT_EQ(Messages(dialogs),
              std::vector<std::string>{"Cannot process this file! Bad file header! Please use different file."});
}

TEST_F(AddingTest, FolderStopsAtTheFirstFileWithoutAnAnswer)
{
    MakeClip(work + "clip.mp4", 2);
    const std::string clip = ReadFile(work + "clip.mp4");
    DeleteFileA((work + "clip.mp4").c_str());
    for (const char* name : {"a.mp4", "b.mp4", "c.mp4", "d.mp4", "e.mp4"}) WriteFile(work + name, clip);
    CreateDirectoryA((work + "sub").c_str(), nullptr);
    WriteFile(work + "sub\\deeper.mp4", clip);
    // The third file in the order the system lists them has no answer.
    TFindFile finder(nullptr);
    finder.Filter = "*.mp4";
    finder.Directory = work;
    finder.Execute();
    ASSERT_EQ(finder.Files.size(), 5u);
    WriteFile(finder.Files[2], "");

    const std::string folder = work.substr(0, work.size() - 1);
    DialogWatcher dialogs;
    session->Intake().AddFolder(folder);
    EXPECT_EQ(QueuedPaths(), (std::vector<std::string>{finder.Files[0], finder.Files[1]}));
    std::string third = finder.Files[2].substr(finder.Files[2].rfind('\\') + 1);
    EXPECT_EQ(Messages(dialogs), std::vector<std::string>{"Cannot process file " + third +
                                                          " Bad file header or bad characters in filename! Please "
                                                          "use different file."});
    EXPECT_EQ(session->Intake().LastFolder(), folder);
    for (const char* answer : queue::kAnswerFiles)
        EXPECT_FALSE(FileExists(session->Folders().temp + answer)) << "the fourth file's probe, already started, is ended";
}

TEST_F(AddingTest, FolderWithoutClipsChangesOnlyTheFolderBox)
{
    CreateDirectoryA((work + "sub").c_str(), nullptr);
    MakeClip(work + "sub\\only-below.mp4", 1);
    const std::string folder = work.substr(0, work.size() - 1);
    DialogWatcher dialogs;
    session->Intake().AddFolder(folder);
    EXPECT_TRUE(QueuedPaths().empty());
    EXPECT_EQ(session->Intake().LastFolder(), folder);
    EXPECT_TRUE(Messages(dialogs).empty());
}

TEST_F(AddingTest, BrowseStoresTheFolderAsChosenInTheRegistryAndTheField)
{
    struct Case {
        std::string chosen;
        std::string stored;
    } cases[] = {
        {work, work.substr(0, work.size() - 1)},
        {"C:\\", "C:\\"},
    };
    for (const Case& c : cases) {
        DialogWatcher dialogs(ChooseFolder(c.chosen));
        Press("BrowseButton");
        std::string value;
        ASSERT_TRUE(ReadSetting("WorkDir", value));
        EXPECT_EQ(value, c.stored);
        EXPECT_EQ(session->Folders().output, c.stored);
        EXPECT_EQ(Control("OutputFolderEdit").Text(), c.stored);
        EXPECT_EQ(session->Intake().LastFolder(), "");
    }
}

TEST_F(AddingTest, CancelledDialogsChangeNothing)
{
    auto cancel = [](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    };
    DialogWatcher dialogs(cancel);
    const std::string workDir = session->Folders().output;
    Press("AddFileButton");
    Press("AddFolderButton");
    Press("BrowseButton");
    EXPECT_EQ(dialogs.Count(), 3);
    EXPECT_TRUE(QueuedPaths().empty());
    EXPECT_EQ(session->Folders().output, workDir);
    EXPECT_EQ(session->Intake().LastFolder(), "");
    EXPECT_EQ(session->Intake().LastFolder(), "");
}

TEST_F(AddingTest, DuringAConversionTheButtonsOpenNothing)
{
    KeepConverting(work);
    DialogWatcher dialogs;
    Press("AddFileButton");
    Press("AddFolderButton");
    Press("BrowseButton");
    PumpFor(500);
    EXPECT_EQ(dialogs.Count(), 0);
}

TEST_F(AddingTest, TypingIntoTheBoxesIsDiscarded)
{
    session->ChooseOutputFolder("C:\\out");
    EXPECT_EQ(Control("OutputFolderEdit").Text(), "C:\\out") << "the box shows the session's folder";
    for (const char* name : {"FileEdit", "FolderEdit", "OutputFolderEdit"}) {
        fw::TWinControl& box = Control(name);
        std::string before = box.Text();
        for (char c : std::string("x\b\x16")) SendMessageA(box.Handle(), WM_CHAR, static_cast<unsigned char>(c), 0);
        EXPECT_EQ(box.Text(), before);
    }
}

TEST_F(AddingTest, BrowseOpensAtTheFolderLastAddedWithAddFolder)
{
    const std::string folder = work.substr(0, work.size() - 1);
    const std::string leaf = folder.substr(folder.rfind('\\') + 1);
    std::string selected;
    auto look = [&](HWND dialog) {
        Sleep(800);  // the browser selects the initial folder once it is set up
        selected = SelectedFolderName(dialog);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    };
    {
        DialogWatcher dialogs(look);
        Press("BrowseButton");
    }
    EXPECT_EQ(selected.find(leaf), std::string::npos) << "before any Add Folder nothing of ours is selected";
    {
        DialogWatcher dialogs(ChooseFolder(folder));
        Press("AddFolderButton");
    }
    {
        DialogWatcher dialogs(look);
        Press("BrowseButton");
    }
    EXPECT_NE(selected.find(leaf), std::string::npos) << selected;
}

namespace {

// A name in the ANSI code page, from its wide form; empty when the code page cannot hold it.
std::string Ansi(const std::wstring& wide)
{
    BOOL lossy = FALSE;
    char bytes[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, bytes, sizeof bytes, nullptr, &lossy);
    return lossy ? std::string() : std::string(bytes);
}

}  // namespace

TEST_F(AddingTest, NamesWithAccentsQuotesAndShellCharactersAreProbedRight)
{
    MakeClip(work + "clip.mp4", 2);
    const std::string clip = ReadFile(work + "clip.mp4");
    DeleteFileA((work + "clip.mp4").c_str());
    const std::string folder = work + "names";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> names;
    for (const wchar_t* wide : {L"M\u00fcller.mp4", L"Vid\u00e9o \u00e9t\u00e9.mp4", L"Don\u2019t stop.mp4",
                                L"5 \u20ac 100% a&b^c!d.mp4", L"plain.mp4"}) {
        std::string name = Ansi(wide);
        ASSERT_FALSE(name.empty()) << "the test expects a Western code page, this one is " << GetACP();
        names.push_back(name);
        WriteFile(folder + "\\" + name, clip);
    }
    DialogWatcher dialogs;
    session->Intake().AddFolder(folder);
    EXPECT_TRUE(Messages(dialogs).empty()) << Messages(dialogs)[0];
    ASSERT_EQ(session->Queue().Count(), 5);
    for (int row = 0; row < 5; ++row) EXPECT_EQ(session->Queue().MediaSeconds(row), 3) << session->Queue().Path(row);
    // The caption is its own again, with what the five rows' outputs will take.
    EXPECT_EQ(Control<fw::TLabel>("ListCaption").Caption(), std::string(app::kListCaptionText) + " " + fw::SystemMarks().dot + " about " +
                                                                encode::SizeText(session->ExpectedBytes()));
}

struct StandInAddingTest : AddingTest {
    std::string log = work + "tool.log";
    std::vector<std::string> found;

    // Queues `count` files that the stand-in tool answers with one second each.
    void SetUp() override
    {
        AddingTest::SetUp();
        CreateDirectoryA((work + "clips").c_str(), nullptr);
        for (int i = 0; i < 8; ++i) WriteFile(work + "clips\\c" + std::to_string(i) + ".mp4", "stand-in");
        TFindFile finder(nullptr);
        finder.Filter = "*.mp4";
        finder.Directory = work + "clips";
        finder.Execute();
        found = finder.Files;
        UseMediaTool(ExeFolder() + "echo_args.exe");
        for (auto [name, value] : {std::pair{"ECHO_PRINT", "00:00:01.000"}, {"ECHO_SLEEP_MS", "200"}})
            SetEnvironmentVariableA(name, value);
        SetEnvironmentVariableA("ECHO_LOG", log.c_str());
    }
    void TearDown() override
    {
        for (const char* name : {"ECHO_PRINT", "ECHO_SLEEP_MS", "ECHO_LOG", "ECHO_SLOW_FOR", "ECHO_SLOW_MS", "ECHO_SILENT_FOR"})
            SetEnvironmentVariableA(name, nullptr);
        AddingTest::TearDown();
    }
    std::string Log() const { return FileExists(log) ? ReadFile(log) : std::string(); }
    // Where the log says that the tool's run for that file ended.
    std::size_t EndOf(const std::string& file) const
    {
        const std::string log = Log();
        for (std::size_t at = log.find("end "); at != std::string::npos; at = log.find("\nend ", at + 1))
            if (log.substr(at, log.find('\n', at + 1) - at).find(file) != std::string::npos) return at;
        return std::string::npos;
    }
};

TEST_F(StandInAddingTest, RowsKeepTheFindersOrderWhenAGroupEndsLate)
{
    SetEnvironmentVariableA("ECHO_SLOW_FOR", found[0].c_str());
    SetEnvironmentVariableA("ECHO_SLOW_MS", "1500");
    session->Intake().AddFolder(work + "clips");
    EXPECT_EQ(QueuedPaths(), found);
    EXPECT_LT(EndOf(found.back()), EndOf(found[0])) << "the second group ran beside the first";
    for (const char* answer : queue::kAnswerFiles) EXPECT_FALSE(FileExists(session->Folders().temp + answer)) << answer;
}

TEST_F(StandInAddingTest, AFileItsGroupDidNotAnswerIsAskedAgainAlone)
{
    SetEnvironmentVariableA("ECHO_SILENT_FOR", found[1].c_str());
    session->Intake().AddFolder(work + "clips");
    EXPECT_EQ(QueuedPaths(), found);
    const std::string alone = "end " + fw::BuildCommandLine(session->Tools().Paths().mediainfo, queue::ProbeArguments(found[1]));
    EXPECT_NE(Log().find(alone), std::string::npos) << Log();
    const std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 6) << "two groups of four, and the one asked alone";
}

TEST_F(StandInAddingTest, EscapeStopsAfterTheFileBeingRead)
{
    SetEnvironmentVariableA("ECHO_SLOW_FOR", found[4].c_str());  // the second group answers late
    SetEnvironmentVariableA("ECHO_SLOW_MS", "1500");
    DialogWatcher dialogs;
    const HWND list = Control("FileList").Handle();
    std::thread escape([&] {
        for (int i = 0; i < 200 && Log().find("end ") == std::string::npos; ++i) Sleep(25);
        PostMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_FALSE(session->Intake().AddFolder(work + "clips"));
    escape.join();
    const std::vector<std::string> queued = QueuedPaths();
    EXPECT_GE(queued.size(), 1u);
    EXPECT_LT(queued.size(), found.size());
    EXPECT_EQ(queued, std::vector<std::string>(found.begin(), found.begin() + queued.size()));
    EXPECT_TRUE(Messages(dialogs).empty());
    PumpFor(800);  // a probe cut short leaves nothing behind
    for (const char* answer : queue::kAnswerFiles)
        EXPECT_FALSE(FileExists(session->Folders().temp + answer)) << answer;
}

TEST_F(StandInAddingTest, EscapeStopsATreeWhoseFilesGetNoAnswer)
{
    SetEnvironmentVariableA("ECHO_PRINT", "");  // as a tree of 0-byte downloads: no file answers
    SetEnvironmentVariableA("ECHO_SLEEP_MS", nullptr);
    batch::Choices tree = session->Settings().Choices();
    tree.subfolders = true;
    session->Choose(tree);
    int asked = 0;
    app::TSessionEvents events;
    events.OnStopWanted = [&] { return ++asked == 2; };
    session->Listen(events);
    EXPECT_FALSE(session->Intake().AddFolder(work + "clips"));
    EXPECT_EQ(asked, 2) << "asked between any two files, those without an answer too";
    EXPECT_EQ(session->Queue().Count(), 0);
}

TEST_F(AddingTest, AClickBehindAnOpenFolderPickerStartsNothingAndTheWindowIsActiveAfterIt)
{
    form->Show();
    PumpFor(300);
    WriteFile(work + "queued.mp4", "x");
    QueueFile(work + "queued.mp4", 3);
    bool enabledWhileOpen = true;
    auto clickConvertBehind = [&](HWND dialog) {
        enabledWhileOpen = IsWindowEnabled(form->Handle()) != FALSE;
        RECT button{};
        GetWindowRect(Control("ConvertButton").Handle(), &button);
        SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            INPUT input{};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = flags;
            SendInput(1, &input, sizeof input);
            Sleep(50);
        }
        Sleep(500);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    };
    for (const char* picker : {"AddFolderButton", "BrowseButton"}) {
        DialogWatcher dialogs(clickConvertBehind);
        Press(picker);
        EXPECT_FALSE(enabledWhileOpen);
        EXPECT_TRUE(IsWindowEnabled(form->Handle()));
        EXPECT_EQ(GetActiveWindow(), form->Handle()) << "the main window is active again, not another program";
        EXPECT_FALSE(Converting());
        EXPECT_EQ(session->Queue().State(0), queue::RowState::Pending);
    }
}
