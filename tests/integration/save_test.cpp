// Giving a finished file its name: a name held for a moment is tried again, and the free name
// beside it is chosen as the file system compares names. Wine renames over a file that is open
// (Windows refuses with "access denied" while a player or the preview pane has it), so the
// rename is a stand-in that refuses as Windows does.
#include <gtest/gtest.h>

#include <algorithm>

#include "batch/OutputRecord.h"
#include "batch/Save.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "support.h"

using namespace testing_support;

TEST(Saver, AHeldNameIsTriedAgainAndAFreeNameIsChosenAsTheFileSystemCompares)
{
    const std::string work = FreshFolder("save");
    WriteFile(work + "in.mp4", "input");
    struct Case {
        const char* what;
        DWORD refusal;      // what the replacing rename says while the name is held
        int refusals;       // how often it says so
        const char* claimed;  // an output of this run, as another input wrote it
        const char* savedAs;
    } cases[] = {
        {"held by a scanner for a moment", ERROR_SHARING_VIOLATION, 3, "", "out.mpg"},
        {"open in a player for a moment", ERROR_ACCESS_DENIED, 3, "", "out.mpg"},
        {"open in a player all along", ERROR_ACCESS_DENIED, 1000, "", "out (2).mpg"},
        {"another input wrote OUT (2).MPG", ERROR_ACCESS_DENIED, 1000, "OUT (2).MPG", "out (3).mpg"},
        {"a folder that is gone: never tried again", ERROR_PATH_NOT_FOUND, 1, "", "out (2).mpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(work + "out.~00", "converted");
        batch::SaveJob job;
        job.written = work + "out.~00";
        job.output = work + "out.mpg";
        job.input = work + "in.mp4";
        job.claims = std::make_shared<batch::TOutputClaims>(&fw::SamePath);
        if (*c.claimed) job.claims->Claim(work + c.claimed, work + "other.mp4");
        job.retryMs = 400;
        int replaceCalls = 0;
        DWORD renamedOn = GetCurrentThreadId();
        job.rename = [&](const std::wstring& from, const std::wstring& to, bool replace) -> DWORD {
            renamedOn = GetCurrentThreadId();
            if (replace && replaceCalls++ < c.refusals) return c.refusal;
            return MoveFileExW(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) ? 0 : GetLastError();
        };
        {
            DWORD endedOn = 0;
            batch::TSaver saver(std::move(job), [&] { endedOn = GetCurrentThreadId(); });
            ASSERT_TRUE(PumpUntil([&] { return endedOn != 0; }, 10000));
            EXPECT_EQ(endedOn, GetCurrentThreadId()) << "its end is told on the window's thread";
            EXPECT_EQ(saver.Result().savedAs, work + c.savedAs) << saver.Result().note;
        }
        EXPECT_EQ(ReadFile(work + c.savedAs), "converted");
        EXPECT_EQ(replaceCalls > 1, c.refusal != ERROR_PATH_NOT_FOUND) << "tried again";
        EXPECT_NE(renamedOn, GetCurrentThreadId()) << "the window's thread never waits for a held name";
        DeleteFileA((work + c.savedAs).c_str());
    }
    RemoveTree(work);
}

// A second copy of the program as the next test starts it: this test program again, told by
// its environment which record to save to and under which names.
TEST(OutputRecord, DISABLED_SavesAsASecondCopy)
{
    char record[MAX_PATH] = {}, tag[16] = {};
    GetEnvironmentVariableA("MERVANE_RECORD", record, MAX_PATH);
    GetEnvironmentVariableA("MERVANE_TAG", tag, sizeof tag);
    const std::string folder = fw::FolderPart(record, fw::IsLeadByte) + "\\";
    batch::TOutputRecord saved(record);
    for (int i = 0; i < 150; ++i) {
        const std::string output = folder + tag + std::to_string(i) + ".mpg";
        WriteFile(output, "converted");
        saved.Add(output, folder + "in.mp4");
    }
}

TEST(OutputRecord, TwoCopiesSavingAtOnceLoseNoLineAndTheRecordIsMadeWholeInPlace)
{
    const std::string work = FreshFolder("record"), record = work + "outputs.txt";
    std::vector<batch::SavedOutput> old;
    for (std::size_t i = 0; i <= batch::kMostSavedOutputs; ++i) old.push_back({"C:\\old\\" + std::to_string(i) + ".mpg", "C:\\in.mp4", 1, 1});
    WriteFile(record, batch::SavedOutputsText(old));
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    SetEnvironmentVariableA("MERVANE_RECORD", record.c_str());
    std::vector<fw::unique_handle> copies;
    for (const char* tag : {"a", "b"}) {
        SetEnvironmentVariableA("MERVANE_TAG", tag);
        copies.push_back(StartHidden(self, "--gtest_also_run_disabled_tests --gtest_filter=OutputRecord.DISABLED_SavesAsASecondCopy"));
    }
    for (const fw::unique_handle& copy : copies) EXPECT_EQ(WaitForSingleObject(copy.get(), 60000), WAIT_OBJECT_0);
    SetEnvironmentVariableA("MERVANE_RECORD", nullptr);
    const std::vector<batch::SavedOutput> lines = batch::ParseSavedOutputs(ReadFile(record));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [&](const batch::SavedOutput& line) { return line.output.rfind(work, 0) == 0; }),
              300) << "both copies' lines";
    EXPECT_EQ(lines.size(), batch::kMostSavedOutputs / 2 + 300) << "made whole once, by the copy that read it first";
    EXPECT_FALSE(FileExists(record + ".new"));
    RemoveTree(work);
}
