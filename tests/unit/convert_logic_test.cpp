// Rules of the conversion engine: command lines, folders, output paths, sizes, progress.
#include <gtest/gtest.h>

#include <set>

#include "batch/OutputFiles.h"
#include "encode/EncoderLog.h"
#include "encode/Join.h"
#include "encode/FitLogic.h"
#include "encode/Rates.h"
#include "batch/OutputNames.h"
#include "framework/LaunchLogic.h"
#include "framework/errors.h"

using namespace batch;
using namespace encode;
using fw::BuildCommandLine;
using fw::FolderPart;
using fw::StartFailure;

TEST(CommandLine, ProgramBlankParametersAndQuotesOnlyForAPathWithABlank)
{
    EXPECT_EQ(BuildCommandLine("C:\\t\\open.bat", ""), "C:\\t\\open.bat ");
    EXPECT_EQ(BuildCommandLine("C:\\t\\FFMPEG.EXE", " -i \"a\""), "C:\\t\\FFMPEG.EXE  -i \"a\"");
    EXPECT_EQ(BuildCommandLine("C:\\Users\\John Smith\\ffmpeg.exe", " -i \"a\""),
              "\"C:\\Users\\John Smith\\ffmpeg.exe\"  -i \"a\"");
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

// The default pattern names an output as the program always has.
std::string DefaultOutputPath(const char* input, const char* workDir, fw::LeadBytePredicate isLead = nullptr)
{
    return OutputPathFor(workDir, OutputFileName(kDefaultOutputName, {input}, isLead));
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
    for (const Case& c : cases) EXPECT_EQ(DefaultOutputPath(c.input, c.workDir), c.output) << c.input;
}

TEST(OutputPath, TrailBytesAreNeverSeparators)
{
    auto lead = [](unsigned char c) { return c == 0x81; };
    // "\x81\\" is one character; "\x81." too.
    EXPECT_EQ(DefaultOutputPath("C:\\v\\ab\x81\\cd.mp4", "D:\\o", lead), "D:\\o\\ab\x81\\cd.mpg");
    EXPECT_EQ(DefaultOutputPath("C:\\v\\ab\x81.", "D:\\o", lead), "D:\\o\\ab\x81..mpg");
}


TEST(ExpectedSize, DurationTimes117504In64Bits)
{
    for (const int seconds : {1, 600, 18275, 40000})
        EXPECT_EQ(ExpectedSizeFor(seconds, kOutputRateKBps), seconds * 117504LL) << seconds;
}

TEST(EncoderLog, TheReasonIsTheLastLineThatSaysWhatWentWrong)
{
    const std::vector<std::string> banner = {
        "ffmpeg version 7.1.5 Copyright (c) 2000-2025 the FFmpeg developers",
        "  configuration: --arch=x86",
        "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'C:\\in\\a.mp4':",
        "  Duration: 00:00:12.00, start: 0.000000, bitrate: 120 kb/s",
    };
    auto with = [&](std::vector<std::string> tail) {
        std::vector<std::string> lines = banner;
        lines.insert(lines.end(), tail.begin(), tail.end());
        return lines;
    };
    struct Case {
        std::vector<std::string> lines;
        const char* reason;
    } cases[] = {
        {with({"C:\\out\\a.mpg: No such file or directory"}), "C:\\out\\a.mpg: No such file or directory"},
        {with({"Error while opening encoder for output stream #0:0", "Conversion failed!"}),
         "Error while opening encoder for output stream #0:0"},
        {with({"Conversion failed!"}), "Conversion failed!"},
        {with({"Stream mapping:", "Press [q] to stop, [?] for help",
               "frame=  150 fps=0.0 q=4.0 size=     512kB time=00:00:06.00 bitrate= 699.1kbits/s speed=12x"}),
         ""},
        {with({"[mpeg @ 0x1] Invalid data found  ", "size=    1kB time=00:00:01.00 bitrate=   8.0kbits/s", ""}),
         "[mpeg @ 0x1] Invalid data found"},
        {{}, ""},
        // Tails of real runs: a file with a header but no media data, an encrypted one, an
        // unknown codec, a broken file; what the user needs comes before the closing words.
        {with({"Z:\\w\\header_only.mp4: Invalid data found when processing input",
               "[h264 @ 051e9e00] Invalid NAL unit size (21 > 17).",
               "Error while decoding stream #0:0: Invalid data found when processing input",
               "[mov,mp4,m4a,3gp,3g2,mj2 @ 0514e780] stream 1, offset 0x5361b: partial file",
               "Z:\\w\\header_only.mp4: Invalid data found when processing input",
               "Cannot determine format of input stream 0:0 after EOF", "Error marking filters as finished",
               "Conversion failed!"}),
         "Z:\\w\\header_only.mp4: Invalid data found when processing input"},
        {with({"[aac @ 05184740] get_buffer() failed", "Error while decoding stream #0:1: Invalid argument",
               "Error while decoding stream #0:0: Invalid data found when processing input",
               "    Last message repeated 1 times", "Cannot determine format of input stream 0:0 after EOF",
               "Error marking filters as finished", "Conversion failed!"}),
         "Error while decoding stream #0:0: Invalid data found when processing input"},
        {with({"Please use -b:a or -b:v, -b is ambiguous", "Stream mapping:",
               "  Stream #0:0 -> #0:0 (? (?) -> mpeg1video (native))",
               "Decoder (codec none) not found for input stream #0:0"}),
         "Decoder (codec none) not found for input stream #0:0"},
        {with({"[mov,mp4,m4a,3gp,3g2,mj2 @ 0514e780] moov atom not found",
               "Z:\\w\\broken.mp4: Invalid data found when processing input"}),
         "Z:\\w\\broken.mp4: Invalid data found when processing input"},
        {with({"Error marking filters as finished", "Conversion failed!"}), "Error marking filters as finished"},
        // The same as the encoder says them now: the steps of its work name themselves, a
        // file that cannot be opened is said in two lines, and each step says it ended.
        {with({"[in#0 @ 029d5fc0] Error opening input: Invalid data found when processing input",
               "Error opening input file Z:\\w\\broken.mp4.",
               "Error opening input files: Invalid data found when processing input"}),
         "Z:\\w\\broken.mp4: Invalid data found when processing input"},
        {with({"[out#0/mpeg @ 029dbac0] Codec AVOption b:a (set bitrate (in bits/s)) has not been used for any stream.",
               "[out#0/mpeg @ 029dbac0] Error opening output Z:\\gone\\a.mpg: No such file or directory",
               "Error opening output file Z:\\gone\\a.mpg.", "Error opening output files: No such file or directory"}),
         "Z:\\gone\\a.mpg: No such file or directory"},
        {with({"[h264 @ 029f9dc0] Error splitting the input into NAL units.",
               "[vist#0:0/h264 @ 029f9840] [dec:h264 @ 029dd740] Decoding error: Invalid data found when processing input",
               "[vist#0:0/h264 @ 029f9840] [dec:h264 @ 029dd740] Decode error rate 1 exceeds maximum 0.666667",
               "[vf#0:0 @ 029dc1c0] Task finished with error code: -1094995529 (Invalid data found when processing input)",
               "[out#0/mpeg @ 029d9400] Nothing was written into output file, because at least one of its streams "
               "received no packets.",
               "frame=    0 fps=0.0 q=0.0 Lsize=       0KiB time=N/A bitrate=N/A speed=N/A", "Conversion failed!"}),
         "Decoding error: Invalid data found when processing input"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReasonLine(c.lines), c.reason) << c.reason;
}

TEST(EncoderLog, DoneNeedsExitCodeZeroTheSummaryAndSomeBytes)
{
    const std::vector<std::string> finished = {
        "[out#0/mpeg @ 0e3c1a40] video:1272KiB audio:188KiB subtitle:0KiB other streams:0KiB global headers:0KiB "
        "muxing overhead: 0.027%",
        "frame=  300 fps=120 q=2.0 Lsize=    1460KiB time=00:00:12.00 bitrate= 996.4kbits/s speed=4.8x"};
    const std::vector<std::string> cut = {finished[1]};
    EXPECT_EQ(EncoderFailure(0, finished, 1460 * 1024), "");
    EXPECT_EQ(EncoderFailure(0, cut, 700000), "The encoder stopped before the end (exit code 0).");
    EXPECT_EQ(EncoderFailure(0, finished, 0), "The encoder wrote no output file.");
    EXPECT_EQ(EncoderFailure(1, {"C:\\o\\a.mpg: Permission denied"}, 0),
              "The encoder ended with exit code 1: C:\\o\\a.mpg: Permission denied.");
    EXPECT_EQ(EncoderFailure(3221225477UL, cut, 10), "The encoder ended with exit code 0xC0000005.");
    // The encoder's own codes are negative error numbers, said as such, and what they mean
    // where the log says nothing.
    EXPECT_EQ(EncoderFailure(4294967274UL, {"Error closing file: Invalid argument"}, 0),
              "The encoder ended with exit code -22: Error closing file: Invalid argument.");
    EXPECT_EQ(EncoderFailure(4294967268UL, {}, 0), "The encoder ended with exit code -28: No space left on device.");
}

TEST(EncoderLog, AnInputReadShortFailsOnAReadErrorAndIsNotedWhereItEnds)
{
    const std::vector<std::string> head = {"Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'C:\\a.mp4':",
                                           "  Duration: 00:45:10.00, start: 0.000000, bitrate: 1205 kb/s",
                                           "Output #0, mpeg, to 'C:\\a.~00':", "  Duration: N/A"};
    auto progress = [](const char* time) {
        return std::string("frame= 1000 fps=120 q=2.0 Lsize=    1460KiB time=") + time + " bitrate= 996.4kbits/s speed=4.8x";
    };
    const std::string ioError = "[in#0/mov,mp4,m4a,3gp,3g2,mj2 @ 0e3c1a40] Error during demuxing: Input/output error";
    struct Case {
        const char* what;
        std::vector<std::string> head, tail;
        std::string failure, note;
    } cases[] = {
        {"read whole", head, {progress("00:45:10.00")}, "", ""},
        {"within 0.5 %: an edit list, rounded frames", head, {progress("00:44:58.00")}, "", ""},
        {"3 % of a film is minutes: said", head, {progress("00:44:00.00")}, "", "Only 44 min of 45 min 10 s could be read: the file ends early."},
        {"a card pulled at 12:03", head, {progress("00:12:03.40"), ioError},
         "The input could not be read past 12:03 of 45:10: Input/output error.", ""},
        {"a file half copied", head, {progress("00:12:03.40")}, "", "Only 12 min 3 s of 45 min 10 s could be read: the file ends early."},
        {"a short clip: two seconds are allowed", {"  Duration: 00:00:04.00, start"}, {progress("00:00:02.04")}, "", ""},
        {"a short clip cut", {"  Duration: 00:00:30.00, start"}, {progress("00:00:12.00")}, "", "Only 12 s of 30 s could be read: the file ends early."},
        {"no duration said", {"  Duration: N/A, start"}, {progress("00:00:01.00")}, "", ""},
        {"nothing read at all", {"  Duration: 00:00:30.00, start"}, {progress("N/A")}, "", "Only 0 s of 30 s could be read: the file ends early."},
        {"a header saying more than the media tool reads", {"  Duration: 01:05:00.00, start"}, {progress("00:00:07.96")}, "", ""},
    };
    for (const Case& c : cases) {
        ReadThrough run = ReadThroughOf(c.head, c.tail);
        run.probed = std::string(c.what).find("header") != std::string::npos ? 8 : 3600;
        const ShortRead read = ShortReadOf(run);
        EXPECT_EQ(read.failure, c.failure) << c.what;
        EXPECT_EQ(read.note, c.note) << c.what;
    }
    EXPECT_EQ(ReadThroughOf(head, {progress("00:45:10.00")}).frames, 1000) << "the pictures written place a joined file's next part";
}

TEST(Join, EachPartIsListedWithItsPictureLengthAndTheEndNamesTheFilesLeftOut)
{
    EXPECT_EQ(JoinList({{"C:\\v\\Tom's day.mpg", 4}, {"C:\\v\\b.mpg", 3.04}}),
              "ffconcat version 1.0\nfile 'C:\\v\\Tom'\\''s day.mpg'\nduration 4.000000\nfile 'C:\\v\\b.mpg'\nduration 3.040000\n");
    EXPECT_DOUBLE_EQ(PictureSeconds(Target::DvdNtsc, 30000), 1001);
    EXPECT_EQ(JoinedText("Holiday.mpg", {}), "The files were joined into \"Holiday.mpg\".");
    EXPECT_EQ(JoinedText("Holiday.mpg", {"a.mp4"}), "The files were joined into \"Holiday.mpg\"; not in it: a.mp4, which failed, was skipped or has no picture.");
    EXPECT_EQ(JoinedText("H.mpg", {"1", "2", "3", "4", "5", "6", "7"}),
              "The files were joined into \"H.mpg\"; not in it: 1, 2, 3, 4, 5 and 2 more, which failed, were skipped or have no picture.");
}

TEST(Failure, StartFailuresNameTheToolAndHintAtSecuritySoftwareWhereLikely)
{
    EXPECT_EQ(StartFailure("The encoder", 5, "Access denied. ", "C:\\t\\FFMPEG.EXE"),
              "The encoder could not be started: Access denied (C:\\t\\FFMPEG.EXE). "
              "Security software may have blocked or removed it.");
    EXPECT_EQ(StartFailure("The media tool", 193, "Bad EXE format.", "m.exe"),
              "The media tool could not be started: Bad EXE format (m.exe).");
}

TEST(OutputNames, ADifferentInputOfTheSameNameGetsTheNextFreeNumber)
{
    const ClaimedOutputs claimed = {{"D:\\OUT\\SAME.MPG", "C:\\ONE\\SAME.MP4"},
                                    {"D:\\OUT\\SAME (2).MPG", "C:\\TWO\\SAME.MP4"},
                                    {"D:\\OUT\\BUSY.MPG", "C:\\ONE\\BUSY.MP4", true}};
    auto same = [](std::string_view a, std::string_view b) { return fw::SameTextAscii(a, b); };
    struct Case {
        const char* input;
        const char* output;
        const char* free;
    } cases[] = {
        {"C:\\one\\same.mp4", "D:\\out\\same.mpg", "D:\\out\\same.mpg"},      // the same input writes it again
        {"C:\\two\\Same.mp4", "D:\\out\\Same.mpg", "D:\\out\\Same (2).mpg"},  // its own earlier number
        {"C:\\three\\same.mp4", "D:\\out\\same.mpg", "D:\\out\\same (3).mpg"},
        {"C:\\one\\other.mp4", "D:\\out\\other.mpg", "D:\\out\\other.mpg"},
        {"C:\\one\\busy.mp4", "D:\\out\\busy.mpg", "D:\\out\\busy (2).mpg"},  // its own, still being written
    };
    for (const Case& c : cases) EXPECT_EQ(FreeOutputPath(c.output, c.input, claimed, same), c.free) << c.input;
}

TEST(BatchProgress, ARunningFilesShareIsCappedAtAWholeFile)
{
    EXPECT_EQ(FileProgress(0, 117504), 0u);
    EXPECT_EQ(FileProgress(58752, 117504), 500u);
    EXPECT_EQ(FileProgress(131605, 117504), 1000u);  // an output larger than expected
    EXPECT_EQ(FileProgress(5, 0), 0u);
}

TEST(Encoders, HalfTheProcessorsFromTwoToFourUnlessTheSettingSaysOneToSixteen)
{
    struct Case {
        unsigned processors;
        const char* setting;
        int encoders;
    } cases[] = {
        {1, "", 1},  {2, "", 2},   {4, "", 2},    {6, "", 3},     {16, "", 4},    {2, "1", 1},  {2, "16", 16},
        {2, "17", 2}, {2, "0", 2}, {2, "-3", 2}, {2, "two", 2}, {8, " 3 ", 3}, {8, "3x", 4}, {8, "99999999999", 4},
    };
    for (const Case& c : cases) EXPECT_EQ(EncoderCount(c.processors, EncodersChosen(c.setting)), c.encoders) << c.processors << " '" << c.setting << "'";
}

TEST(TemporaryPath, AsLongAsTheOutputAndNeverANameTaken)
{
    const std::set<std::string> taken = {"D:\\out\\a.~00", "D:\\out\\a.~01"};
    auto isTaken = [&](const std::string& path) { return taken.count(path) > 0; };
    struct Case {
        const char* output;
        const char* temporary;
    } cases[] = {
        {"D:\\out\\b.mpg", "D:\\out\\b.~00"},
        {"D:\\out\\a.mpg", "D:\\out\\a.~02"},  // the user's own files of that name stay
        {"D:\\out\\c.d.mpg", "D:\\out\\c.d.~00"},
    };
    for (const Case& c : cases) {
        const std::string temporary = TemporaryPathFor(c.output, isTaken);
        EXPECT_EQ(temporary, c.temporary);
        EXPECT_EQ(temporary.size(), std::string(c.output).size());
        EXPECT_TRUE(IsTemporaryName(temporary));
    }
    EXPECT_EQ(TemporaryPathFor("D:\\out\\a.mpg", [](const std::string&) { return true; }), "");
    EXPECT_FALSE(IsTemporaryName("D:\\out\\a.mpg"));
    EXPECT_EQ(SavedBesideNote("D:\\out\\a.mpg", "D:\\out\\a (2).mpg", "Access denied.", nullptr),
              "The converted file was saved as a (2).mpg, since a.mpg could not be replaced: Access denied.");
}

TEST(OutputNamePattern, TokensForbiddenCharactersTheEmptyResultAndWindowsLimits)
{
    const NameFacts facts{"D:\\Phone\\2024\\clip.take1.mp4", "2024-05-17", Target::DvdPal, 7};
    struct Case {
        const char* pattern;
        const char* name;
    } cases[] = {
        {"{name}", "clip.take1.mpg"},
        {"{date} {name}", "2024-05-17 clip.take1.mpg"},
        {"{folder}_{n}_{target}", "2024_007_DVD.mpg"},
        {"{name}.mpg", "clip.take1.mpg.mpg"},      // the extension is always added
        {"a<b>c:d\"e/f\\g|h?i*j", "a_b_c_d_e_f_g_h_i_j.mpg"},
        {"{unknown} {name}", "{unknown} clip.take1.mpg"},
        {"  ...", "clip.take1.mpg"},               // nothing left: the input's own name
        {"", "clip.take1.mpg"},
        {"{name}. ", "clip.take1. .mpg"},
    };
    for (const Case& c : cases) EXPECT_EQ(OutputFileName(c.pattern, facts, nullptr), c.name) << c.pattern;
    EXPECT_EQ(OutputFileName("{target}", {"a.mp4", "", Target::VcdNtsc, 1}, nullptr), "VCD.mpg");
    EXPECT_EQ(OutputFileName("{target}", {"a.mp4", "", Target::Mpeg, 1}, nullptr), "MPEG.mpg");
    // A trail byte that is a backslash in a double-byte code page stays.
    const auto lead = [](unsigned char c) { return c == 0x81; };
    EXPECT_EQ(OutputFileName("{name}|", {"C:\\v\\ab\x81\\.mp4"}, lead), "ab\x81\\_.mpg");

    // Names Windows opens as a device get "_", in any case, with or without an extension.
    for (const auto& [given, safe] : std::vector<std::pair<std::string, std::string>>{
             {"nul.mpg", "nul_.mpg"}, {"CON.mpg", "CON_.mpg"}, {"Com7.x.mpg", "Com7_.x.mpg"}, {"lpt0 .mpg", "lpt0_ .mpg"},
             {"aux", "aux_"}, {"COM10.mpg", "COM10.mpg"}, {"com\xC2\xB9.mpg", "com\xC2\xB9_.mpg"},
             {"LPT\xC2\xB3", "LPT\xC2\xB3_"}, {"COM\xC2\xB4.mpg", "COM\xC2\xB4.mpg"}, {"console.mpg", "console.mpg"}, {"nul-clip.mpg", "nul-clip.mpg"}})
        EXPECT_EQ(OutsideDevices(given), safe) << given;
    for (const char* pattern : {"nul", "{name}", "{folder}"})
        EXPECT_EQ(OutputFileName(pattern, {"C:\\PRN\\nul.mp4"}, nullptr), std::string(pattern) == "{folder}" ? "PRN_.mpg" : "nul_.mpg");

    EXPECT_TRUE(WithinPathLimits("C:\\out\\" + std::string(255, 'a')));
    EXPECT_FALSE(WithinPathLimits("C:\\out\\" + std::string(256, 'a')));
    EXPECT_TRUE(WithinPathLimits("C:\\out\\" + std::string(255, 'a').replace(0, 3, "\xE2\x82\xAC")));  // one character
    std::string deep = "C:";
    while (deep.size() < 32'800) deep += "\\" + std::string(200, 'b');
    EXPECT_FALSE(WithinPathLimits(deep));
}

TEST(OutputRecord, ComesBackAsWrittenAndAForeignFileIsNamedInTheNote)
{
    const std::vector<SavedOutput> saved = {{"C:\\v\\clip.mpg", "C:\\v\\clip.mp4", 1460, 133'500'000'000'000'000ull},
                                            {"D:\\out\\Holiday 001.mpg", "C:\\a\\b.mp4", 7, 1}};
    EXPECT_EQ(ParseSavedOutputs(SavedOutputsText(saved) + "no tabs\r\nC:\\x\tC:\\y\t-1\t5\r\n"), saved);
    EXPECT_EQ(ForeignFileNote("C:\\v\\clip.mpg", "C:\\v\\clip (2).mpg", nullptr),
              "The converted file was saved as clip (2).mpg: clip.mpg was there already, and Mervane did not make it from "
              "this file, so it was left as it was.");
}

TEST(OutputRecord, KeepsTheNewestLineOfEachOutputAndTheNewestOutputs)
{
    std::vector<SavedOutput> lines;
    for (int i = 0; i < 100; ++i) lines.push_back({"C:\\out\\" + std::to_string(i % 30) + ".mpg", "C:\\in.mp4", i, 0});
    lines.push_back({"C:\\OUT\\29.MPG", "C:\\in.mp4", -1, 0});  // the same file, named in capitals
    const std::vector<SavedOutput> kept = NewestSavedOutputs(lines, 10, [](const std::string& name) {
        std::string key = name;
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return key;
    });
    ASSERT_EQ(kept.size(), 10u);
    EXPECT_EQ(kept.back().size, -1) << "the newest line of the newest output";
    EXPECT_EQ(kept.front().size, 100 - 10 + 1) << "the oldest of those kept (the capitals' file is one of them)";
    for (std::size_t i = 1; i + 1 < kept.size(); ++i) ASSERT_LT(kept[i - 1].size, kept[i].size) << "oldest first";
}

TEST(OutputRecord, TimesOnFatAreTheSameWithinTwoSecondsAndWholeHours)
{
    const std::uint64_t second = 10'000'000, t = 133'000'000'000'000'000ull;
    const struct {
        std::int64_t apart;  // in seconds
        bool fat, same;
    } cases[] = {{0, false, true}, {1, false, false}, {0, true, true},      {2, true, true},         {-2, true, true},
                 {3, true, false}, {3600, true, true}, {-3601, true, true}, {3600, false, false},    {1800, true, false},
                 {7198, true, true}, {7195, true, false}, {25 * 3600, true, false}};
    for (const auto& c : cases)
        EXPECT_EQ(SameSavedTime(t, t + static_cast<std::uint64_t>(c.apart * static_cast<std::int64_t>(second)), c.fat), c.same)
            << c.apart << (c.fat ? " on FAT" : "");
}

TEST(FreeSpace, EachVolumeThatReceivesOutputsIsAskedAndFat32ForEachFile)
{
    const std::int64_t gb = 1024LL * 1024 * 1024;
    const std::vector<VolumeNeed> needs = {
        {"C:\\", "C:\\", 3 * gb, 10 * gb},
        {"D:\\", "D:\\ (Camera)", 3 * gb, 2 * gb},
        {"\\\\nas\\clips\\", "\\\\nas\\clips\\", 9 * gb, std::nullopt},
        {"E:\\", "E:\\ (SDCARD)", 5 * gb, 20 * gb, true, 4 * gb + 1, "film.mp4"},
        {"F:\\", "F:\\ (USB)", 5 * gb, 20 * gb, true, 4 * gb - 1, "short.mp4"},
        {"G:\\", "G:\\ (Stick)", 14 * gb, 20 * gb, true, gb, "a.mp4", 5 * gb},
        {"H:\\", "H:\\ (Card)", 7 * gb, 20 * gb, true, gb, "a.mp4", 3 * gb},
    };
    EXPECT_EQ(VolumeQuestions(needs), (std::vector<std::string>{
                                          "The converted files need about 3.0 GB, and D:\\ (Camera) has 2.0 GB free. Convert anyway?",
                                          "The file converted from film.mp4 needs about 4.0 GB, and E:\\ (SDCARD) is FAT32, which "
                                          "holds no file of 4 GB or more. Convert anyway?",
                                          "The disc's image needs about 5.0 GB, and G:\\ (Stick) is FAT32, which holds no file of "
                                          "4 GB or more: the disc's folder will be made, but not its image. Convert anyway?"}));
}
