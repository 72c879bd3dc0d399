// Rules of the queue: names, durations, the probe's batch file and its answer, the finder's
// mask and the click bands of the list.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/errors.h"
#include "queue/QueueLogic.h"

using namespace queue;

TEST(NamePart, CutsBeforeTheLastFullStopOfTheFileName)
{
    struct Case {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\Clips\\trip.2009.mp4", "trip.2009"},
        {"C:\\Clips\\a.b.mp4", "a.b"},
        {"C:\\Clips\\.mp4", ""},
        {"C:\\Clips\\movie", "movie"},
        {"C:\\my.clips\\movie", "movie"},
        {"C:clip.mp4", "clip"},
    };
    for (const Case& c : cases) EXPECT_EQ(NamePart(c.path, nullptr), c.name) << c.path;
    auto lead = [](unsigned char c) { return c == 0x95; };
    EXPECT_EQ(NamePart("C:\\v\\\x95\\.mp4", lead), "\x95\\") << "a trail byte is neither backslash nor stop";
}

TEST(Duration, ValidTimesGiveWholeSeconds)
{
    struct Case {
        const char* text;
        int seconds;
    } cases[] = {
        {"01:02:03.999", 3723}, {"00:00:00.000", 0}, {"23:59:59.999", 86399},
        {"00:01:23.456", 83},   {"5", 18000},        {"00:10", 600},
        {" 00 : 00 : 12 . 5 ", 12},
    };
    for (const Case& c : cases) EXPECT_EQ(DurationToSeconds(c.text), c.seconds) << c.text;
}

TEST(Duration, InvalidTimesRaiseTheConversionErrorWithTheText)
{
    for (const char* bad : {"24:00:00.000", "00:01:23,456", "00:60:00", "00:00:60", "00:00:00.1000", "", "abc",
                            "12:", "1:2:3:4"}) {
        try {
            DurationToSeconds(bad);
            ADD_FAILURE() << bad;
        } catch (const fw::EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid time");
        }
    }
}

TEST(ProbeAnswer, FirstLinePlusOneOrNoAnswer)
{
    EXPECT_EQ(MediaSecondsFromAnswer({"01:02:03.999"}), 3724);
    EXPECT_EQ(MediaSecondsFromAnswer({"00:00:00.000"}), 1);
    EXPECT_EQ(MediaSecondsFromAnswer({"23:59:59.999"}), 86400);
    EXPECT_EQ(MediaSecondsFromAnswer({"00:00:12.000", "garbage"}), 13);  // later lines ignored
    EXPECT_EQ(MediaSecondsFromAnswer({}), std::nullopt);
    EXPECT_EQ(MediaSecondsFromAnswer({""}), std::nullopt);  // what the tool says for a file it cannot read
    EXPECT_EQ(MediaSecondsFromAnswer({"   "}), std::nullopt);
    EXPECT_THROW(MediaSecondsFromAnswer({"24:00:00.000"}), fw::EConvertError);
    EXPECT_THROW(MediaSecondsFromAnswer({"General"}), fw::EConvertError);
}

TEST(Probe, ArgumentsQuoteThePathAndEscapeNothing)
{
    EXPECT_EQ(ProbeArguments("C:\\100% & ^more!\\%PATH%.mp4"),
              "--Inform=General;%Duration/String3% \"C:\\100% & ^more!\\%PATH%.mp4\"");
}

TEST(Messages, NameTheFileWithItsExtension)
{
    EXPECT_EQ(NoAnswerInFolderMessage("C:\\clips\\c.mp4", nullptr),
              "Cannot process file c.mp4 Bad file header or bad characters in filename! Please use different file.");
    EXPECT_EQ(FailureMessage("C:\\in\\a.mp4", "The file is no longer there.", nullptr),
              "a.mp4 was not converted. The file is no longer there.");
    EXPECT_TRUE(NameOutsideCodePage("C:\\clips\\?.mp4"));
    EXPECT_FALSE(NameOutsideCodePage("C:\\clips\\\x80 caf\xe9.mp4"));
    EXPECT_EQ(NameOutsideCodePageMessage("C:\\clips\\??.mp4", nullptr).rfind("Cannot process file ??.mp4: ", 0), 0u);
}

TEST(FinderMask, DefaultIs39AndOnlyHiddenSystemVolumeDirectoryExclude)
{
    EXPECT_EQ(AttributeMask(kDefaultAttributes), 39u);
    EXPECT_EQ(AttributeMask({TAttrOption::ffVolumeID, TAttrOption::ffDirectory}), 24u);
    EXPECT_FALSE(PassedOver(0x20 | 0x1, 0));  // archive and read-only never exclude
    EXPECT_FALSE(PassedOver(0x2, 39));         // hidden listed by default
    EXPECT_TRUE(PassedOver(0x10, 39));         // folders are not
    EXPECT_TRUE(PassedOver(0x2, 0));
    EXPECT_FALSE(PassedOver(0x10, 63));
}

TEST(TreeWalk, OnlyNameSurrogatesAreLinksAndHiddenSystemFoldersAreLeftOut)
{
    constexpr unsigned long kFolder = 0x10, kHidden = 0x2, kSystem = 0x4, kReparse = 0x400;
    struct Case {
        const char* what;
        unsigned long attributes, tag;
        bool systemName;
        FolderStep step;
    } cases[] = {
        {"a folder", kFolder, 0, false, FolderStep::Walk},
        {"a symbolic link", kFolder | kReparse, 0xA000000C, false, FolderStep::Link},
        {"a junction or mount point", kFolder | kReparse, 0xA0000003, false, FolderStep::Link},
        {"a OneDrive folder", kFolder | kReparse, 0x9000601A, false, FolderStep::Walk},
        {"a deduplicated one", kFolder | kReparse, 0x80000013, false, FolderStep::Walk},
        {"a link whose tag is not given", kFolder | kReparse, 0, false, FolderStep::Link},
        {"an old RECYCLER", kFolder | kHidden | kSystem, 0, false, FolderStep::PassedOver},
        {"a hidden folder of the user's", kFolder | kHidden, 0, false, FolderStep::Walk},
        {"System Volume Information", kFolder, 0, true, FolderStep::PassedOver},
    };
    for (const Case& c : cases) EXPECT_EQ(FolderStepFor(c.attributes, c.tag, c.systemName), c.step) << c.what;
    EXPECT_TRUE(HasFilterExtension("CLIP.MP4", "*.mp4"));
    EXPECT_FALSE(HasFilterExtension("x.mp4_", "*.mp4")) << "found through its 8.3 name only";
    EXPECT_FALSE(HasFilterExtension(".mp4", "*.mp4"));
    EXPECT_TRUE(HasFilterExtension("anything", "*.*"));
    for (unsigned long online : {0x1000ul, 0x40000ul, 0x400000ul | 0x20}) EXPECT_TRUE(OnlineOnly(online)) << online;
    EXPECT_FALSE(OnlineOnly(0x20 | 0x80000 | 0x100000)) << "pinned, or kept on this computer";
}

TEST(GroupProbe, EachFileIsAnsweredByItsOwnLineAndTheNextGroupTakesAboutItsTime)
{
    const std::vector<std::string> asked = {"C:\\a|b.mp4", "C:\\bad.mp4", "C:\\c.mp4", "C:\\gone.mp4", "C:\\d.mp4"};
    const std::vector<std::string> answer = {"C:\\c.mp4|00:00:02.500", "C:\\bad.mp4|", "C:\\d.mp4|General",
                                             "C:\\a|b.mp4|01:00:00.000", "", "C:\\other.mp4|00:00:09.000"};
    EXPECT_EQ(MediaSecondsFromGroupAnswer(answer, asked),
              (std::vector<std::optional<int>>{3601, std::nullopt, 3, std::nullopt, std::nullopt}));
    EXPECT_NE(GroupProbeArguments({"C:\\a b.mp4"}).find("%CompleteName%|%Duration/String3%\\n\" \"C:\\a b.mp4\""),
              std::string::npos);
    EXPECT_EQ(NextGroupSize(4, 100), 16u);
    EXPECT_EQ(NextGroupSize(16, 1600), 4u);
    EXPECT_EQ(NextGroupSize(4, 60000), 1u);
    EXPECT_EQ(NextGroupSize(64, 10), kLargestGroup);
}

TEST(SavedRows, ComeBackAsWrittenAndDamagedLinesArePassedOver)
{
    const std::vector<SavedRow> rows = {{"C:\\clips\\a b.mp4", 84}, {"D:\\Ωmega\\c.mp4", 3, "2024\\05"}};
    EXPECT_EQ(ParseSavedRows(SavedRowsText(rows)), rows);
    EXPECT_EQ(ParseSavedRows("84\tC:\\a.mp4\r\nno tab\r\n\tC:\\b.mp4\r\nx1\tC:\\c.mp4\r\n7\t\r\n5\tC:\\d.mp4\r\n"
                             "99999999999\tC:\\e.mp4"),
              (std::vector<SavedRow>{{"C:\\a.mp4", 84}, {"C:\\d.mp4", 5}}));
    EXPECT_EQ(RestoreQuestion(3), "Mervane ended while 3 files were waiting. Add them again?");
}

TEST(Progress, ARowShowsItsStateMeasuredTruncatedAndNotCapped)
{
    EXPECT_EQ(ProgressPercent(58752, 117504), 50);
    EXPECT_EQ(ProgressPercent(117503, 117504), 99);
    EXPECT_EQ(ProgressPercent(131605, 117504), 112);
    EXPECT_EQ(ProgressPercent(3LL << 31, 40000LL * 117504), 137);  // beyond 2 GiB
    EXPECT_THROW(ProgressPercent(1, 0), fw::EConvertError);
    struct Case {
        RowState state;
        std::optional<int> percent;
        bool paused;
        const char* text;
    } cases[] = {
        {RowState::Converting, std::nullopt, false, "Pending"}, {RowState::Converting, 0, false, "0% Done"},
        {RowState::Converting, 42, true, "42% (paused)"},       {RowState::Converting, std::nullopt, true, "Pending (paused)"},
        {RowState::Done, std::nullopt, false, "Done"},          {RowState::Failed, std::nullopt, false, "Failed"},
    };
    for (const Case& c : cases) EXPECT_EQ(RowText(c.state, c.percent, c.paused), c.text);
}
