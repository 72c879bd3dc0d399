// Text helpers: trimming, case folding, integers, line splitting, the error display's full stop.
#include <gtest/gtest.h>

#include "framework/errors.h"
#include "framework/text.h"

using namespace fw;

TEST(Text, TrimRemovesControlCharactersAndBlanks)
{
    EXPECT_EQ(Trim(" \t C:\\out\\a.mpg \r\n"), "C:\\out\\a.mpg");
    EXPECT_EQ(Trim("\x01\x1f"), "");
}

TEST(Text, SplitLinesFollowsEveryKindOfBreak)
{
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\n", {"a", "b", "c"}},
        {"a\n\nb", {"a", "", "b"}},
        {"00:00:12.000\r\n", {"00:00:12.000"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

TEST(Text, StrToIntReadsDecimalOrRaisesTheProgramsMessage)
{
    EXPECT_EQ(StrToInt("84"), 84);
    EXPECT_EQ(StrToInt64("9000000000"), 9000000000LL);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    for (const char* bad : {"", "12a", "1.5", "abc", "18446744073709551616", "9223372036854775808",
                            "99999999999999999999999"}) {
        try {
            StrToInt64(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST(Text, SameTextFoldsOnlyAsciiLetters)
{
    EXPECT_TRUE(SameTextAscii("FFMPEG.EXE", "ffmpeg.exe"));
    EXPECT_FALSE(SameTextAscii("\xC4.exe", "\xE4.exe"));  // letters outside A-Z must match exactly
}

TEST(Text, FullStopIsAppendedAboveTheFullStopsCode)
{
    EXPECT_EQ(WithFullStop("'' is not a valid time"), "'' is not a valid time.");
    EXPECT_EQ(WithFullStop("Done."), "Done.");
    EXPECT_EQ(WithFullStop("(see above)"), "(see above)");  // ')' is below '.'
    EXPECT_EQ(WithFullStop("value 7"), "value 7.");
    EXPECT_EQ(WithFullStop(""), "");
}

TEST(Text, LastDelimiterPassesOverTrailBytes)
{
    // 0x81 leads a double-byte character whose trail byte is a backslash (0x5C).
    auto lead = [](unsigned char c) { return c == 0x81; };
    EXPECT_EQ(LastDelimiter("\\", "a\\b\x81\\c", lead), 1u);
    EXPECT_EQ(LastDelimiter("\\", "a\\b\x81\\c", nullptr), 4u);
}
