// Start-up: the folders and the settings in the registry.
#include <gtest/gtest.h>

#include <optional>

#include "app/AppLogic.h"
#include "app/Settings.h"
#include "batch/OutputFiles.h"
#include "framework/Files.h"
#include "framework/handles.h"
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

TEST_F(StartupTest, FirstStartCreatesTheKeyTheOutputFolderValueAndBothFolders)
{
    RemoveTree(DefaultWorkDir());
    DialogWatcher dialogs;
    StartSession();

    std::string workDir, appDir;
    ASSERT_TRUE(ReadSetting("WorkDir", workDir));
    ASSERT_TRUE(ReadSetting("AppDir", appDir)) << "written at every start";
    // The shell's folder followed by "\Orvessa\", with no doubled backslash at the join.
    auto under = [](std::string special) {
        if (special.back() == '\\') special.pop_back();
        return special + "\\Orvessa\\";
    };
    EXPECT_EQ(workDir, under(GetPersonalFolder()));
    EXPECT_TRUE(DirectoryExists(workDir));
    EXPECT_TRUE(DirectoryExists(under(GetAppDataFolder())));
    EXPECT_EQ(session->Folders().output, workDir);
    EXPECT_EQ(session->Folders().output.back(), '\\');
    EXPECT_EQ(session->Folders().app, under(GetAppDataFolder()));
    EXPECT_EQ(appDir, session->Folders().app);
}

TEST_F(StartupTest, StoredOutputFolderWinsAndTheDefaultIsStillCreated)
{
    std::string chosen = FreshFolder("chosen");
    chosen.pop_back();  // as the folder picker returns it
    WriteSetting("WorkDir", chosen);
    RemoveTree(DefaultWorkDir());
    StartSession();
    EXPECT_EQ(session->Folders().output, chosen);
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
    EXPECT_EQ(session->Folders().output, chosen);
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
    EXPECT_EQ(session->Folders().output, missing);
    EXPECT_EQ(dialogs.Count(), 0);
}

TEST_F(StartupTest, EachSettingReadsAsItsDefaultWhenMissingNotAStringOrOutOfRange)
{
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::string share = std::to_string(batch::EncoderCount(system.dwNumberOfProcessors, 0));
    struct Case {
        const char* name;
        std::optional<std::string> stored;  // none: a number (REG_DWORD) in its place
        std::string read;
    } cases[] = {
        {"Encoders", "3", "3"},      {"Encoders", "17", share},    {"Encoders", std::nullopt, share},
        {"Target", "dvd-pal", "dvd-pal"}, {"Target", "dvd", "mpeg"}, {"Target", std::nullopt, "mpeg"},
        {"IfExists", "skip", "skip"}, {"IfExists", "never", "replace"}, {"IfExists", std::nullopt, "replace"},
        {"Quality", "high", "high"},  {"Quality", "best", "standard"}, {"Quality", std::nullopt, "standard"},
        {"OutputName", "{date} {name}", "{date} {name}"}, {"OutputName", "  ", "{name}"}, {"OutputName", std::nullopt, "{name}"},
        {"OutputTo", "beside", "beside"}, {"OutputTo", "next", "folder"}, {"OutputTo", std::nullopt, "folder"},
        {"Subfolders", "1", "0"}, {"Subfolders", std::nullopt, "0"},  // a DWORD of 1 only
    };
    auto read = [](const TSettings& settings, const std::string& name) {
        const batch::Choices& c = settings.Choices();
        return name == "Encoders" ? std::to_string(settings.Encoders())
               : name == "Target"  ? std::string(encode::TargetSetting(c.target))
               : name == "Quality" ? std::string(encode::QualitySetting(c.quality))
               : name == "OutputName" ? c.outputName
               : name == "OutputTo"   ? std::string(c.besideInput ? "beside" : "folder")
               : name == "Subfolders" ? std::to_string(c.subfolders)
                                      : std::string(encode::IfExistsSetting(c.ifExists));
    };
    fw::unique_hkey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Talvik", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    for (const Case& c : cases) {
        const DWORD number = 5;
        if (c.stored) WriteSetting(c.name, *c.stored);
        else RegSetValueExA(key.get(), c.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        EXPECT_EQ(read(TSettings::Read(), c.name), c.read) << c.name << " " << c.stored.value_or("(a number)");
        RegDeleteValueA(key.get(), c.name);
        EXPECT_EQ(read(TSettings::Read(), c.name), read(TSettings(), c.name)) << c.name << " missing";
    }
    const DWORD one = 1;
    RegSetValueExA(key.get(), "Subfolders", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    EXPECT_TRUE(TSettings::Read().Choices().subfolders);
    RegDeleteValueA(key.get(), "Subfolders");
    // An output folder that is no string is the default one, kept again.
    const DWORD number = 5;
    RegSetValueExA(key.get(), "WorkDir", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    StartSession();
    EXPECT_EQ(session->Folders().output, DefaultWorkDir());
    std::string stored;
    EXPECT_TRUE(ReadSetting("WorkDir", stored) && stored == DefaultWorkDir());
}

TEST_F(StartupTest, RowsLeftByACopyThatHadThisProcessIdAreOfferedNotLost)
{
    // The list of a crashed copy whose process id this one was given, held by nobody now.
    ForceLastLevel(ToolFolder());
    const std::string list = ToolFolder() + "queue-" + std::to_string(GetCurrentProcessId()) + ".txt";
    WriteFile(list, queue::SavedRowsText({{"C:\\clips\\a.mp4", 5}, {"C:\\clips\\b.mp4", 7}}));
    session = std::make_unique<app::TSession>();
    std::vector<std::string> asked;
    app::TSessionEvents events;
    events.OnQuestion = [&](const std::string& question) { return asked.push_back(question), true; };
    session->Listen(events);
    session->Settle();
    EXPECT_EQ(asked.size(), 1u);
    ASSERT_EQ(session->Queue().Count(), 2);
    EXPECT_EQ(session->Queue().Path(1), "C:\\clips\\b.mp4");
    EXPECT_EQ(session->Queue().MediaSeconds(1), 7);
}
