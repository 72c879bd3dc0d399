// Rules of the application shell: program folders, argument forwarding, process names.
#include <gtest/gtest.h>

#include "app/AppLogic.h"
#include "app/CommandLine.h"

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

TEST(HandedOverArguments, PackedAndUnpackedWhole)
{
    const std::vector<std::string> args = {"C:\\my clips\\a b.mp4", "D:\\", "\xe9t\xe9.mp4", ""};
    const std::string block = PackArguments(args);
    EXPECT_EQ(block, std::string("C:\\my clips\\a b.mp4") + '\0' + "D:\\" + '\0' + "\xe9t\xe9.mp4" + '\0' + '\0' + '\0');
    EXPECT_EQ(UnpackArguments(block), args);
    EXPECT_EQ(UnpackArguments(PackArguments({})), std::vector<std::string>{});
    for (std::string_view broken : {std::string_view(""), std::string_view("a.mp4", 5), std::string_view("a\0b\0", 4)})
        EXPECT_EQ(UnpackArguments(broken), std::nullopt) << broken.size();
}

TEST(Dropping, Mp4InAnyCaseAndTheSkippedListed)
{
    EXPECT_TRUE(IsMp4Name("C:\\a\\CLIP.MP4"));
    EXPECT_TRUE(IsMp4Name("b.Mp4"));
    EXPECT_FALSE(IsMp4Name("C:\\a\\clip.mp4.txt"));
    EXPECT_FALSE(IsMp4Name("mp4"));
}

TEST(Dropping, OneMessageGroupsTheTrueReasonsAndCountsPastTenNames)
{
    EXPECT_EQ(NotAddedMessage({{"gone.mp4", NotAdded::Missing},
                               {"notes.txt", NotAdded::NotMp4},
                               {"b?.mp4", NotAdded::OutsideCodePage},
                               {"also gone.mp4", NotAdded::Missing}}),
              "These files were not added. Not found: gone.mp4, also gone.mp4. Not MP4 files: notes.txt. Names with "
              "characters this system's code page cannot hold (rename them and add them again): b?.mp4.");
    std::vector<RefusedItem> many(3000, {"x.mp4", NotAdded::Missing});
    many.push_back({"notes.txt", NotAdded::NotMp4});
    EXPECT_EQ(NotAddedMessage(many), "These files were not added. Not found: x.mp4, x.mp4, x.mp4, x.mp4, x.mp4, x.mp4, "
                                     "x.mp4, x.mp4, x.mp4. Not MP4 files: notes.txt. ...and 2991 more.");
    EXPECT_EQ(AddedAfterConversionMessage({"a.mp4", "b.mp4"}),
              "These files will be added when the conversion has finished: a.mp4, b.mp4.");
    struct {
        const char* given;
        const char* plain;
    } paths[] = {{"\\\\?\\C:\\a.mp4", "C:\\a.mp4"}, {"\\\\?\\UNC\\srv\\share\\a.mp4", "\\\\srv\\share\\a.mp4"}, {"C:\\a.mp4", "C:\\a.mp4"}};
    for (const auto& p : paths) EXPECT_EQ(WithoutLongPrefix(p.given), p.plain);
}

TEST(CommandLine, OptionsForThisRunBeforeThePathsAndEveryMistakeNamed)
{
    struct Case {
        std::vector<std::string> args;
        const char* error;  // the start of the usage error; "" for none
    } cases[] = {
        {{"a.mp4", "D:\\clips"}, ""},
        {{"/TO", "DVD-PAL", "/quality", "high", "/fit", "2000", "/disc", "Holiday", "/out", "D:\\Discs", "/convert", "/close", "a.mp4"}, ""},
        {{"-to", "vcd-ntsc", "/fit", "dvd-dl", "/loudness", "even", "/fill", "blur", "a.mp4"}, ""},
        {{"/to", "nonsense"}, "Not a value of /to: nonsense"},
        {{"/fit", "2 GB", "a.mp4"}, "Not a value of /fit"},
        {{"/quality"}, "/quality needs a value."},
        {{"/jion", "a.mp4"}, "Unknown option: /jion"},
        {{"/disc", "Holiday", "a.mp4"}, "/disc makes a DVD-Video disc"},
        {{"/to", "dvd-ntsc", "/convert"}, "/convert needs files or folders"},
    };
    for (const Case& c : cases) {
        const RunRequest request = ParseCommandLine(c.args);
        EXPECT_EQ(request.error.rfind(c.error, 0), 0u) << c.args[0] << ": " << request.error;
    }
    const RunRequest plain = ParseCommandLine({"a.mp4", "D:\\clips"});
    EXPECT_FALSE(plain.HasOptions()) << "paths alone go to a running copy as ever";
    EXPECT_EQ(plain.paths, (std::vector<std::string>{"a.mp4", "D:\\clips"}));
    const RunRequest full = ParseCommandLine(cases[1].args);
    EXPECT_EQ(full.paths, std::vector<std::string>{"a.mp4"});
    EXPECT_EQ(full.outputFolder, "D:\\Discs");
    const batch::Choices over = full.Over({});
    EXPECT_EQ(over.target, encode::Target::DvdPal);
    EXPECT_EQ(over.quality, encode::Quality::High);
    EXPECT_EQ(over.fitTo.bytes, 2000LL * 1024 * 1024);
    EXPECT_EQ(over.disc, disc::Disc::DvdVideo);
    EXPECT_EQ(over.discName, "Holiday") << "the name as typed, its case kept";
    EXPECT_TRUE(ParseCommandLine({"/?"}).help);
    EXPECT_NE(UsageText().find("/to mpeg|vcd-pal|vcd-ntsc|dvd-pal|dvd-ntsc"), std::string::npos);
}

TEST(CommandLine, TheExitCodeSaysHowTheBatchWent)
{
    EXPECT_EQ(ExitCodeOf(0, 0, 3), kExitAllDone);
    EXPECT_EQ(ExitCodeOf(1, 1, 3), kExitSomeFailed);
    EXPECT_EQ(ExitCodeOf(0, 2, 3), kExitStoppedOrNone);
    EXPECT_EQ(ExitCodeOf(0, 0, 0), kExitStoppedOrNone) << "nothing was queued";
}
