// Start-up: the folders, the two registry settings and the output-folder boxes.
#include <gtest/gtest.h>

#include "app/AppLogic.h"
#include "app/Settings.h"
#include "framework/Files.h"
#include "form_fixture.h"

using namespace testing_support;

namespace {

std::string DefaultWorkDir() { return app::ProgramFolderUnder(GetPersonalFolder(), fw::IsLeadByte); }
std::string ToolFolder() { return app::ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte); }

struct StartupTest : FormTest {
    void SetUp() override { DeleteSettings(); }
    void TearDown() override
    {
        FormTest::TearDown();
        DeleteSettings();
    }
};

}  // namespace

TEST_F(StartupTest, FirstStartCreatesTheKeyTheValuesAndBothFolders)
{
    RemoveTree(DefaultWorkDir());
    DialogWatcher dialogs;
    StartForm();

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
    EXPECT_EQ(form->Edit3->Text(), workDir);
    EXPECT_EQ(form->Edit4->Text(), workDir);
    EXPECT_EQ(form->WorkDir, workDir);
    EXPECT_EQ(form->WorkDir.back(), '\\');
    EXPECT_EQ(form->AppDir, appDir);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(form->TempDir, temp);
    EXPECT_FALSE(form->Converting());
    EXPECT_EQ(form->LastFolder, "");
    EXPECT_EQ(dialogs.Count(), 0);  // start-up shows nothing
}

TEST_F(StartupTest, StoredOutputFolderWinsAndTheDefaultIsStillCreated)
{
    std::string chosen = FreshFolder("chosen");
    chosen.pop_back();  // as the folder picker returns it
    WriteSetting("WorkDir", chosen);
    RemoveTree(DefaultWorkDir());
    StartForm();
    EXPECT_EQ(form->WorkDir, chosen);
    EXPECT_EQ(form->Edit3->Text(), chosen);
    EXPECT_TRUE(DirectoryExists(DefaultWorkDir()));
    RemoveTree(chosen);
}

TEST_F(StartupTest, DeletedOutputFolderIsCreatedAgainAndWrittenBack)
{
    std::string chosen = FreshFolder("gone");
    RemoveTree(chosen);
    chosen.pop_back();
    WriteSetting("WorkDir", chosen);
    StartForm();
    EXPECT_TRUE(DirectoryExists(chosen));
    std::string stored;
    ASSERT_TRUE(ReadSetting("WorkDir", stored));
    EXPECT_EQ(stored, chosen);
    EXPECT_EQ(form->WorkDir, chosen);
    RemoveTree(chosen);
}

TEST_F(StartupTest, OutputFolderWhoseParentIsGoneFailsSilently)
{
    std::string parent = FreshFolder("parent");
    RemoveTree(parent);
    std::string missing = parent + "child";
    WriteSetting("WorkDir", missing);
    DialogWatcher dialogs;
    StartForm();
    EXPECT_FALSE(DirectoryExists(missing));
    EXPECT_EQ(form->WorkDir, missing);
    EXPECT_EQ(dialogs.Count(), 0);
}

TEST_F(StartupTest, ToolFolderIsWrittenAtEveryStart)
{
    WriteSetting("AppDir", "C:\\stale\\");
    StartForm();
    std::string appDir;
    ASSERT_TRUE(ReadSetting("AppDir", appDir));
    EXPECT_EQ(appDir, ToolFolder());
}

TEST_F(StartupTest, UnreadableWorkDirValueLeavesTheBoxesAndTheFieldEmpty)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Talvik", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    DWORD number = 5;
    RegSetValueExA(key, "WorkDir", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    StartForm();
    EXPECT_EQ(form->Edit3->Text(), "");
    EXPECT_EQ(form->WorkDir, "");
}
