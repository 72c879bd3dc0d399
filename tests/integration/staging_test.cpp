// Staging the embedded tools at start-up and removing them at a normal end.
#include <gtest/gtest.h>

#include "framework/Launcher.h"
#include "form_fixture.h"

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
    StartForm();
    const std::string payloads = PayloadFolder();
    struct {
        const char* staged;
        const char* fetched;
    } files[] = {{"ffmpeg.exe", "ffmpeg.exe"}, {"mediainfo.exe", "mediainfo.exe"}, {"mediainfo.dll", "MediaInfo.dll"}};
    for (const auto& f : files) {
        std::string path = form->AppDir + f.staged;
        ASSERT_TRUE(FileExists(path)) << path;
        EXPECT_TRUE(Attributes(path) & FILE_ATTRIBUTE_HIDDEN) << path;
        EXPECT_TRUE(ReadFile(path) == ReadFile(payloads + f.fetched)) << path << " differs";
    }
    EXPECT_FALSE(FileExists(form->AppDir + "cygwin1.dll"));  // our encoder needs no runtime libraries
    EXPECT_FALSE(FileExists(form->AppDir + "cygz.dll"));
}

TEST_F(StagingTest, ToolPathsAreShortFormsThatRun)
{
    StartForm();
    EXPECT_TRUE(IsShortForm(form->FfmpegPath)) << form->FfmpegPath;
    EXPECT_TRUE(IsShortForm(form->MediainfoPath)) << form->MediainfoPath;
    EXPECT_TRUE(_stricmp(LongForm(form->FfmpegPath).c_str(), (form->AppDir + "ffmpeg.exe").c_str()) == 0);
    EXPECT_TRUE(_stricmp(LongForm(form->MediainfoPath).c_str(), (form->AppDir + "mediainfo.exe").c_str()) == 0);
    EXPECT_EQ(RunAndWaitExit(form->FfmpegPath + " -version"), 0);
    EXPECT_NE(RunAndCapture(form->MediainfoPath + " --Version").find("MediaInfoLib"), std::string::npos);
}

TEST_F(StagingTest, ToolsAreWrittenOnceTheWindowShowsAndAConvertAtOnceWaitsForThem)
{
    const std::string work = FreshFolder("at-once");
    MakeClip(work + "a.mp4", 2);
    form = std::make_unique<TfrmMain>(nullptr);
    const std::string encoder = form->AppDir + "ffmpeg.exe";
    SetFileAttributesA(encoder.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(encoder.c_str());
    PumpFor(200);
    EXPECT_FALSE(FileExists(encoder)) << "written before the window showed";

    form->Show();
    form->Queue->Add(work + "a.mp4", "3");
    form->WorkDir = work;
    form->EzRgnBtn3Click(form.get());
    EXPECT_TRUE(form->Converting());
    PumpUntil([&] { return !form->Converting(); }, 60000);
    EXPECT_EQ(form->Queue->State(0), queue::RowState::Done) << form->Queue->Reason(0);
    EXPECT_TRUE(FileExists(work + "a.mpg"));
    form.reset();
    RemoveTree(work);
}

TEST_F(StagingTest, LeftoverToolsAreReplacedAndOnlyAWholeCopyHeldOpenIsUsed)
{
    StartForm();
    const std::string appDir = form->AppDir;
    const std::string dll = appDir + "mediainfo.dll";
    const std::string encoder = appDir + "ffmpeg.exe";
    const std::string wholeDll = ReadFile(PayloadFolder() + "MediaInfo.dll");
    form.reset();
    auto leaveBehind = [](const std::string& path, const std::string& bytes) {
        WriteFile(path, bytes);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);  // as a run that ended without its clean-up
    };
    auto holdOpen = [](const std::string& path) {
        return fw::unique_handle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    };

    // Not held: replaced by the embedded bytes, silently.
    leaveBehind(dll, "older");
    {
        DialogWatcher dialogs;
        StartForm();
        EXPECT_TRUE(ReadFile(dll) == wholeDll);
        EXPECT_EQ(dialogs.Count(), 0);
        form.reset();
    }
    // Held by another program but whole: used, silently.
    leaveBehind(dll, wholeDll);
    {
        fw::unique_handle held = holdOpen(dll);
        DialogWatcher dialogs;
        StartForm();
        EXPECT_EQ(dialogs.Count(), 0);
        EXPECT_TRUE(form->ToolsFailure.empty());
        form.reset();
    }
    // Held and cut short: said once at start-up, and conversions fail with the reason.
    leaveBehind(encoder, "cut");
    {
        fw::unique_handle held = holdOpen(encoder);
        DialogWatcher dialogs;
        StartForm();
        ASSERT_EQ(dialogs.Count(), 1);
        const std::string said = dialogs.Seen_()[0].text;
        EXPECT_NE(said.find(appDir), std::string::npos) << said;
        EXPECT_NE(said.find("ffmpeg.exe: "), std::string::npos) << said;
        EXPECT_TRUE(ReadFile(form->AppDir + "mediainfo.exe") == ReadFile(PayloadFolder() + "mediainfo.exe"))
            << "staging went on";

        const std::string clip = FreshFolder("unstaged") + "a.mp4";
        WriteFile(clip, "any");
        form->Queue->Add(clip, "1");
        form->EzRgnBtn3Click(form.get());
        EXPECT_FALSE(form->Converting());
        EXPECT_EQ(form->Queue->State(0), queue::RowState::Failed);
        EXPECT_EQ(form->Queue->Reason(0), form->ToolsFailure);
        EXPECT_NE(form->ToolsFailure.find("ffmpeg.exe"), std::string::npos);
        EXPECT_EQ(RunningProcesses("ffmpeg.exe"), 0);
        EXPECT_EQ(dialogs.Count(), 1) << "said once, not again when the tools were needed";
        form.reset();
        RemoveTree(clip.substr(0, clip.rfind('\\') + 1));
    }
    SetFileAttributesA(encoder.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(encoder.c_str());
}

TEST_F(StagingTest, NormalEndDeletesTheToolsButLeavesWhatTheRunningEncoderHolds)
{
    StartForm();
    const std::string appDir = form->AppDir;
    const std::string output = FreshFolder("held") + "busy.mpg";
    fw::unique_handle encoder =
        StartHidden(form->FfmpegPath, "-v error -re -f lavfi -i testsrc=rate=25 -t 60 -y \"" + output + "\"");
    ASSERT_TRUE(encoder);
    PumpFor(300);
    WriteFile(form->TempDir + "open.bat", "rem");
    DialogWatcher dialogs;
    form.reset();  // FormDestroy

    EXPECT_EQ(WaitForSingleObject(encoder.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "no process is terminated";
    EXPECT_TRUE(FileExists(appDir + "ffmpeg.exe"));
    EXPECT_FALSE(FileExists(appDir + "mediainfo.exe"));
    EXPECT_FALSE(FileExists(appDir + "mediainfo.dll"));
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    EXPECT_FALSE(FileExists(std::string(temp) + "open.bat"));
    EXPECT_EQ(dialogs.Count(), 0);
    TerminateProcess(encoder.get(), 1);
    WaitForSingleObject(encoder.get(), 5000);
    SetFileAttributesA((appDir + "ffmpeg.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((appDir + "ffmpeg.exe").c_str());
}
