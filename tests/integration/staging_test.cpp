// Staging the embedded tools at start-up and removing them at a normal end.
#include <gtest/gtest.h>

#include "app/AppLogic.h"
#include "form_fixture.h"
#include "framework/Files.h"
#include "framework/Launcher.h"
#include "framework/Unicode.h"
#include "queue/QueueLogic.h"

using namespace testing_support;

namespace {

bool IsShortForm(const std::string& path)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::size_t dot = part.find('.');
        std::string base = part.substr(0, dot);
        if (base.size() > 8 || (dot != std::string::npos && part.size() - dot - 1 > 3)) return false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return true;
}

std::string LongForm(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    return buffer;
}

struct StagingTest : FormTest {
    void SetUp() override { DeleteSettings(); }
};

}  // namespace

TEST_F(StagingTest, ToolsAreWrittenHiddenWithTheEmbeddedBytes)
{
    StartSession();
    const std::string payloads = PayloadFolder();
    struct {
        const char* staged;
        const char* fetched;
    } files[] = {{"ffmpeg.exe", "ffmpeg.exe"}, {"mediainfo.exe", "mediainfo.exe"}, {"fonts\\DejaVuSans.ttf", "fonts/DejaVuSans.ttf"}};
    for (const auto& f : files) {
        std::string path = session->Folders().app + f.staged;
        ASSERT_TRUE(FileExists(path)) << path;
        EXPECT_TRUE(Attributes(path) & FILE_ATTRIBUTE_HIDDEN) << path;
        EXPECT_TRUE(ReadFile(path) == ReadFile(payloads + f.fetched)) << path << " differs";
    }
    EXPECT_FALSE(FileExists(session->Folders().app + "cygwin1.dll"));  // our encoder needs no runtime libraries
    EXPECT_FALSE(FileExists(session->Folders().app + "cygz.dll"));
}

TEST_F(StagingTest, ToolPathsAreShortFormsThatRun)
{
    StartSession();
    EXPECT_TRUE(IsShortForm(session->Tools().Paths().ffmpeg)) << session->Tools().Paths().ffmpeg;
    EXPECT_TRUE(IsShortForm(session->Tools().Paths().mediainfo)) << session->Tools().Paths().mediainfo;
    EXPECT_TRUE(_stricmp(LongForm(session->Tools().Paths().ffmpeg).c_str(), (session->Folders().app + "ffmpeg.exe").c_str()) == 0);
    EXPECT_TRUE(_stricmp(LongForm(session->Tools().Paths().mediainfo).c_str(), (session->Folders().app + "mediainfo.exe").c_str()) == 0);
    EXPECT_EQ(RunAndWaitExit(session->Tools().Paths().ffmpeg + " -version"), 0);
    EXPECT_NE(RunAndCapture(session->Tools().Paths().mediainfo + " --Version").find("MediaInfoLib"), std::string::npos);
}

TEST_F(StagingTest, ToolsAreWrittenOnceTheWindowShowsAndAConvertAtOnceWaitsForThem)
{
    const std::string work = FreshFolder("at-once");
    MakeClip(work + "a.mp4", 2);
    // A row that a crashed copy kept, offered once the window shows: queued without the tools.
    const std::string tools = app::ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte);
    ForceLastLevel(tools);
    WriteFile(tools + "queue-" + std::to_string(GetCurrentProcessId()) + ".txt", queue::SavedRowsText({{work + "a.mp4", 3}}));
    DialogWatcher yes([](HWND question) { return PostMessageA(question, WM_COMMAND, IDYES, 0) != FALSE; });
    session = std::make_unique<app::TSession>();
    form = std::make_unique<TfrmMain>(*session);
    const std::string encoder = tools + "ffmpeg.exe";
    SetFileAttributesA(encoder.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(encoder.c_str());
    PumpFor(200);
    EXPECT_FALSE(FileExists(encoder)) << "written before the window showed";

    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return session->Queue().Count() == 1; }, 10000));
    session->ChooseOutputFolder(work);
    session->Start();
    EXPECT_TRUE(Converting());
    PumpUntil([&] { return !Converting(); }, 60000);
    EXPECT_EQ(session->Queue().State(0), queue::RowState::Done) << session->Queue().Reason(0);
    EXPECT_TRUE(FileExists(work + "a.mpg"));
    TearDown();
    RemoveTree(work);
}

TEST_F(StagingTest, LeftoverToolsAreReplacedAndOnlyAWholeCopyHeldOpenIsUsed)
{
    StartSession();
    const std::string appDir = session->Folders().app;
    const std::string tool = appDir + "mediainfo.exe";
    const std::string encoder = appDir + "ffmpeg.exe";
    const std::string wholeTool = ReadFile(PayloadFolder() + "mediainfo.exe");
    session.reset();
    auto leaveBehind = [](const std::string& path, const std::string& bytes) {
        WriteFile(path, bytes);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);  // as a run that ended without its clean-up
    };
    auto holdOpen = [](const std::string& path) {
        return fw::unique_handle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    };

    // Not held: replaced by the embedded bytes, silently.
    leaveBehind(tool, "older");
    {
        DialogWatcher dialogs;
        StartSession();
        EXPECT_TRUE(ReadFile(tool) == wholeTool);
        EXPECT_EQ(dialogs.Count(), 0);
        session.reset();
    }
    // Held by another program but whole: used, silently.
    leaveBehind(tool, wholeTool);
    {
        fw::unique_handle held = holdOpen(tool);
        StartSession();
        EXPECT_TRUE(told.empty());
        EXPECT_TRUE(session->Tools().Paths().encoderFailure.empty());
        session.reset();
    }
    // Held and cut short: said once at start-up, and conversions fail with the reason.
    leaveBehind(encoder, "cut");
    {
        fw::unique_handle held = holdOpen(encoder);
        StartSession();
        ASSERT_EQ(told.size(), 1u);
        const std::string said = told[0];
        EXPECT_NE(said.find(appDir), std::string::npos) << said;
        EXPECT_NE(said.find("ffmpeg.exe: "), std::string::npos) << said;
        EXPECT_TRUE(ReadFile(session->Folders().app + "mediainfo.exe") == ReadFile(PayloadFolder() + "mediainfo.exe"))
            << "staging went on";

        const std::string clip = FreshFolder("unstaged") + "a.mp4";
        WriteFile(clip, "any");
        QueueFile(clip, 1);
        session->Start();
        EXPECT_FALSE(Converting());
        EXPECT_EQ(session->Queue().State(0), queue::RowState::Failed);
        EXPECT_EQ(session->Queue().Reason(0), session->Tools().Paths().encoderFailure);
        EXPECT_NE(session->Tools().Paths().encoderFailure.find("ffmpeg.exe"), std::string::npos);
        EXPECT_EQ(RunningProcesses("ffmpeg.exe"), 0);
        EXPECT_EQ(told.size(), 1u) << "said once, not again when the tools were needed";
        session.reset();
        RemoveTree(clip.substr(0, clip.rfind('\\') + 1));
    }
    SetFileAttributesA(encoder.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(encoder.c_str());
}

TEST_F(StagingTest, NormalEndDeletesTheToolsButLeavesWhatTheRunningEncoderHolds)
{
    StartSession();
    const std::string appDir = session->Folders().app;
    const std::string output = FreshFolder("held") + "busy.mpg";
    fw::unique_handle encoder =
        StartHidden(session->Tools().Paths().ffmpeg, "-v error -re -f lavfi -i testsrc=rate=25 -t 60 -y \"" + output + "\"");
    ASSERT_TRUE(encoder);
    PumpFor(300);
    DialogWatcher dialogs;
    session.reset();  // a normal end

    EXPECT_EQ(WaitForSingleObject(encoder.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "no process is terminated";
    EXPECT_TRUE(FileExists(appDir + "ffmpeg.exe"));
    EXPECT_FALSE(FileExists(appDir + "mediainfo.exe"));
    EXPECT_FALSE(FileExists(appDir + "fonts\\DejaVuSans.ttf"));
    EXPECT_EQ(dialogs.Count(), 0);
    TerminateProcess(encoder.get(), 1);
    WaitForSingleObject(encoder.get(), 5000);
    SetFileAttributesA((appDir + "ffmpeg.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((appDir + "ffmpeg.exe").c_str());
    RemoveTree(output.substr(0, output.rfind('\\') + 1));
}
