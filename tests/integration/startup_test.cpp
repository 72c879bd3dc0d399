// Start-up: the folders and the two registry settings.
#include <gtest/gtest.h>

#include "app/AppLogic.h"
#include "app/Settings.h"
#include "framework/Files.h"
#include "queue/QueueLogic.h"
#include "form_fixture.h"

using namespace testing_support;

namespace {

std::string DefaultWorkDir() { return app::ProgramFolderUnder(GetPersonalFolder(), fw::IsLeadByte); }
std::string ToolFolder() { return app::ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte); }

struct StartupTest : SessionTest {
    void SetUp() override { DeleteSettings(); }
    void TearDown() override
    {
        SessionTest::TearDown();
        DeleteSettings();
    }
};

}  // namespace

TEST_F(StartupTest, FirstStartCreatesTheKeyTheValuesAndBothFolders)
{
    RemoveTree(DefaultWorkDir());
    DialogWatcher dialogs;
    StartSession();

    std::string workDir, appDir;
    ASSERT_TRUE(ReadSetting("WorkDir", workDir));
    ASSERT_TRUE(ReadSetting("AppDir", appDir));
    // The shell's folder followed by "\Orvessa\", with no doubled backslash at the join.
    auto under = [](std::string special) {
        if (special.back() == '\\') special.pop_back();
        return special + "\\Orvessa\\";
    };
    EXPECT_EQ(workDir, under(GetPersonalFolder()));
    EXPECT_EQ(appDir, under(GetAppDataFolder()));
    EXPECT_TRUE(DirectoryExists(workDir));
    EXPECT_TRUE(DirectoryExists(appDir));
    EXPECT_EQ(session->Folders.work, workDir);
    EXPECT_EQ(session->Folders.work.back(), '\\');
    EXPECT_EQ(session->Folders.app, appDir);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(session->Folders.temp, temp);
    EXPECT_FALSE(Converting());
    EXPECT_EQ(session->Folders.lastFolder, "");
    EXPECT_EQ(dialogs.Count(), 0);  // start-up shows nothing
}

TEST_F(StartupTest, StoredOutputFolderWinsAndTheDefaultIsStillCreated)
{
    std::string chosen = FreshFolder("chosen");
    chosen.pop_back();  // as the folder picker returns it
    WriteSetting("WorkDir", chosen);
    RemoveTree(DefaultWorkDir());
    StartSession();
    EXPECT_EQ(session->Folders.work, chosen);
    EXPECT_TRUE(DirectoryExists(DefaultWorkDir()));
    RemoveTree(chosen);
}

TEST_F(StartupTest, DeletedOutputFolderIsCreatedAgainAndWrittenBack)
{
    std::string chosen = FreshFolder("gone");
    RemoveTree(chosen);
    chosen.pop_back();
    WriteSetting("WorkDir", chosen);
    StartSession();
    EXPECT_TRUE(DirectoryExists(chosen));
    std::string stored;
    ASSERT_TRUE(ReadSetting("WorkDir", stored));
    EXPECT_EQ(stored, chosen);
    EXPECT_EQ(session->Folders.work, chosen);
    RemoveTree(chosen);
}

TEST_F(StartupTest, OutputFolderWhoseParentIsGoneFailsSilently)
{
    std::string parent = FreshFolder("parent");
    RemoveTree(parent);
    std::string missing = parent + "child";
    WriteSetting("WorkDir", missing);
    DialogWatcher dialogs;
    StartSession();
    EXPECT_FALSE(DirectoryExists(missing));
    EXPECT_EQ(session->Folders.work, missing);
    EXPECT_EQ(dialogs.Count(), 0);
}

TEST_F(StartupTest, ToolFolderIsWrittenAtEveryStart)
{
    WriteSetting("AppDir", "C:\\stale\\");
    StartSession();
    std::string appDir;
    ASSERT_TRUE(ReadSetting("AppDir", appDir));
    EXPECT_EQ(appDir, ToolFolder());
}

TEST_F(StartupTest, UnreadableWorkDirValueLeavesTheOutputFolderEmpty)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Talvik", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    DWORD number = 5;
    RegSetValueExA(key, "WorkDir", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    StartSession();
    EXPECT_EQ(session->Folders.work, "");
}

TEST_F(StartupTest, RowsLeftByACopyThatHadThisProcessIdAreOfferedNotLost)
{
    // The list of a crashed copy whose process id this one was given, held by nobody now.
    ForceLastLevel(ToolFolder());
    const std::string list = ToolFolder() + "queue-" + std::to_string(GetCurrentProcessId()) + ".txt";
    WriteFile(list, queue::SavedRowsText({{"C:\\clips\\a.mp4", "5"}, {"C:\\clips\\b.mp4", "7"}}));
    DialogWatcher yes([](HWND question) { return PostMessageA(question, WM_COMMAND, IDYES, 0) != FALSE; });
    StartSession();
    session->OfferLeftBehindRows();
    EXPECT_EQ(yes.Count(), 1);
    ASSERT_EQ(session->Queue().Count(), 2);
    EXPECT_EQ(session->Queue().Path(1), "C:\\clips\\b.mp4");
    EXPECT_EQ(session->Queue().Duration(1), "7");
}
