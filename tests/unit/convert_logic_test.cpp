// Rules of the conversion engine: command lines, folders, output paths, sizes, progress.
#include <gtest/gtest.h>

#include "convert/ConvertLogic.h"
#include "framework/errors.h"

using namespace convert;

TEST(CommandLine, ProgramBlankParameters)
{
    EXPECT_EQ(BuildCommandLine("C:\\t\\open.bat", ""), "C:\\t\\open.bat ");
    EXPECT_EQ(BuildCommandLine("C:\\t\\FFMPEG.EXE", " -i \"a\""), "C:\\t\\FFMPEG.EXE  -i \"a\"");
}

TEST(FolderPart, KeepsTheBackslashOfADriveRootOnly)
{
    struct Case {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\tools\\ff.exe", "C:\\tools"}, {"C:\\ff.exe", "C:\\"}, {"ff.exe", ""},
        {"C:ff.exe", "C:"},                 {"\\\\srv\\x.exe", "\\\\srv"}, {"C:\\a\\\\b.exe", "C:\\a\\\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(FolderPart(c.path, nullptr), c.folder) << c.path;
}

TEST(OutputPath, NameWithMpgJoinedByOneBackslashWhateverTheFolderEndsWith)
{
    struct Case {
        const char* input;
        const char* workDir;
        const char* output;
    } cases[] = {
        {"C:\\clips\\a.mp4", "D:\\out", "D:\\out\\a.mpg"},
        {"C:\\clips\\a.mp4", "C:\\Users\\me\\Documents\\Orvessa\\", "C:\\Users\\me\\Documents\\Orvessa\\\\a.mpg"},
        {"C:\\clips\\a.b.mp4", "D:\\out", "D:\\out\\a.b.mpg"},
        {"C:\\clips\\movie", "D:\\out", "D:\\out\\movie.mpg"},
        {"C:\\my.clips\\movie", "D:\\out", "D:\\out\\movie.mpg"},
        {"C:\\clips\\a.mp4", " D:\\out ", "D:\\out \\a.mpg"},  // trimmed at both ends only
        {"C:\\clips\\a.mp4", "D:\\", "D:\\\\a.mpg"},
    };
    for (const Case& c : cases) EXPECT_EQ(OutputPathFor(c.input, c.workDir, nullptr), c.output) << c.input;
}

TEST(OutputPath, TrailBytesAreNeverSeparators)
{
    auto lead = [](unsigned char c) { return c == 0x81; };
    // "\x81\\" is one character; "\x81." too.
    EXPECT_EQ(OutputPathFor("C:\\v\\ab\x81\\cd.mp4", "D:\\o", lead), "D:\\o\\ab\x81\\cd.mpg");
    EXPECT_EQ(OutputPathFor("C:\\v\\ab\x81.", "D:\\o", lead), "D:\\o\\ab\x81..mpg");
}

TEST(FfmpegArgs, ByteForByte)
{
    EXPECT_EQ(FfmpegArgsFor("C:\\clips\\a.mp4", "D:\\out\\a.mpg"),
              " -i \"C:\\clips\\a.mp4\" -y -deinterlace -b 900000 -r 25 -ab 128000 -ar 44100 -ac 2 \"D:\\out\\a.mpg\"");
}

TEST(ExpectedSize, DurationTimes117504In64Bits)
{
    struct Case {
        const char* duration;
        std::int64_t bytes;
    } cases[] = {
        {"1", 117504}, {"600", 600LL * 117504}, {"18275", 18275LL * 117504}, {"40000", 40000LL * 117504},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpectedSizeFor(c.duration, kOutputRateKBps), c.bytes) << c.duration;
    try {
        ExpectedSizeFor("12x", kOutputRateKBps);
        ADD_FAILURE();
    } catch (const fw::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
    }
}

TEST(Progress, TruncatedAndNotCapped)
{
    EXPECT_EQ(ProgressText(58752, 117504), "50% Done");
    EXPECT_EQ(ProgressText(117503, 117504), "99% Done");
    EXPECT_EQ(ProgressText(0, 117504), "0% Done");
    EXPECT_EQ(ProgressText(131605, 117504), "112% Done");
    EXPECT_EQ(ProgressText(3LL << 31, 40000LL * 117504), "137% Done");  // beyond 2 GiB
    EXPECT_THROW(ProgressText(1, 0), fw::EConvertError);
}
