// Rules of the application shell: program folders, argument forwarding, process names.
#include <gtest/gtest.h>

#include "app/AppLogic.h"

using namespace app;

TEST(ProgramFolder, CollapsesPairsOfBackslashesInOnePass)
{
    struct Case {
        const char* special;
        const char* folder;
    } cases[] = {
        {"C:\\users\\me\\Documents", "C:\\users\\me\\Documents\\Orvessa\\"},
        {"D:\\", "D:\\Orvessa\\"},                                  // drive root
        {"\\\\server\\share\\me", "\\server\\share\\me\\Orvessa\\"},  // a leading pair too
        {"C:\\a\\\\\\b", "C:\\a\\\\b\\Orvessa\\"},                  // three become two
        {"", "\\Orvessa\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgramFolderUnder(c.special, nullptr), c.folder) << c.special;
}

TEST(ProgramFolder, TrailByteThatLooksLikeABackslashStays)
{
    auto shiftJisLead = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
    // "\x95\\" is one character (0x955C) at the end of a user name.
    EXPECT_EQ(ProgramFolderUnder("C:\\Users\\\x95\\\\AppData", shiftJisLead), "C:\\Users\\\x95\\\\AppData\\Orvessa\\");
    EXPECT_EQ(ProgramFolderUnder("C:\\Users\\\x95\\\\AppData", nullptr), "C:\\Users\\\x95\\AppData\\Orvessa\\");
}

TEST(CommandLine, SplitsAtBlanksOutsideQuotesAndDropsTheQuotes)
{
    EXPECT_EQ(SplitCommandLine("prog.exe a \"b c\"  d\"e f\"g\t h"),
              (std::vector<std::string>{"prog.exe", "a", "b c", "de fg", "h"}));
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(Forwarding, EachArgumentFollowedByOneBlankAndExeDropsWhatCameBefore)
{
    struct Case {
        std::vector<std::string> args;
        const char* text;
    } cases[] = {
        {{}, ""},
        {{"a.mp4", "C:\\clips\\b c.mp4"}, "a.mp4 C:\\clips\\b c.mp4 "},
        {{"a.mp4", "C:\\tools\\Player.ExE", "b.mp4"}, "b.mp4 "},
        {{"a.mp4", "x.exe"}, ""},
        {{"notes.exercise"}, ""},  // ".EXE" anywhere in the gathered text
    };
    for (const Case& c : cases) EXPECT_EQ(ForwardedArgumentText(c.args), c.text);
}

TEST(ProcessName, MatchesTheNameAfterTheLastSeparatorOrTheWholeField)
{
    struct Case {
        const char* field;
        bool matches;
    } cases[] = {
        {"ffmpeg.exe", true},
        {"FFMPEG.EXE", true},
        {"C:\\tools\\FFmpeg.exe", true},
        {"C:ffmpeg.exe", true},
        {"ffmpeg.exe.old", false},
        {"xffmpeg.exe", false},
        {"ffmp\xC9g.exe", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ExeFieldMatches(c.field, "ffmpeg.exe"), c.matches) << c.field;
}
