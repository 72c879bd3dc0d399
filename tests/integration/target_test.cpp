// What the convert button makes: each target's streams from real clips, an input too large for
// MPEG-1 scaled to fit, and a converted file from an earlier run replaced, kept or skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "disc/DiscMaker.h"
#include "encode/EncoderArgs.h"
#include "batch/SlotFiles.h"
#include "encode/SubtitleFile.h"
#include "form_fixture.h"
#include "framework/Files.h"

using namespace testing_support;
using queue::RowState;

namespace {

// The mean of a value that the encoder writes for each frame ("All:0.95" or "SATAVG=41.2")
// into a file, after `key`.
double MeanAfter(const std::string& file, const std::string& key)
{
    std::istringstream lines(ReadFile(file));
    double sum = 0;
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        if (const std::size_t at = line.find(key); at != std::string::npos) sum += std::atof(line.c_str() + at + key.size()), ++count;
    return count ? sum / count : -1;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

struct TargetTest : ConvertingTest {
    // The encoder's measures of a file: its pictures' mean saturation, and their SSIM against
    // its source, frame by frame. Written into the work folder, the encoder's current folder.
    double Saturation(const std::string& file)
    {
        EXPECT_EQ(RunAndWaitExit(encoder + "-i \"" + file + "\" -vf signalstats,metadata=print:file=sat.txt -an -c:v mpeg4 -f null -", work), 0);
        return MeanAfter(work + "sat.txt", "SATAVG=");
    }
    // The reference is the source made 25 frames a second by this same encoder, nearly
    // lossless, in the 90 kHz time base of an MPEG stream: which source frame lands in each
    // slot then matches the output's (another time base rounds some differently, and one frame
    // off costs far more than the encoding).
    double Ssim(const std::string& file, const std::string& source)
    {
        EXPECT_EQ(RunAndWaitExit(encoder + "-i \"" + source + "\" -r 25 -an -c:v mpeg4 -q:v 1 -video_track_timescale 90000 reference.mp4", work), 0);
        EXPECT_EQ(RunAndWaitExit(encoder + "-i \"" + file + "\" -i reference.mp4 -lavfi \"[0:v]setpts=N/25/TB[o];[1:v]setpts=N/25/TB[r];[o][r]ssim=stats_file=ssim.txt\" "
                                           "-an -r 25 -c:v mpeg4 -f null -",
                                 work),
                  0);
        return MeanAfter(work + "ssim.txt", "All:");
    }
    // A dark clip of `seconds`, with a text track marked default where `cues` names a file.
    void MakeDarkClip(const std::string& path, int seconds, const std::string& size, const std::string& cues = "")
    {
        const std::string track = cues.empty() ? "" : "-i \"" + cues + "\" -map 0 -map 1 -c:s mov_text -disposition:s:0 default ";
        ASSERT_EQ(RunAndWaitExit(encoder + "-f lavfi -i testsrc=size=" + size + ":rate=25:duration=" + std::to_string(seconds) + " " + track +
                                 "-vf lutyuv=y=16:u=128:v=128 -pix_fmt yuv420p -c:v mpeg4 -q:v 2 \"" + path + "\""),
                  0);
    }
    // The lower quarter's mean brightness in each frame of a file, with the frame's time.
    std::vector<std::pair<double, double>> LowerBand(const std::string& file)
    {
        EXPECT_EQ(RunAndWaitExit(encoder + "-i \"" + file + "\" -vf crop=iw:ih/4:0:ih*3/4,signalstats,metadata=print:file=band.txt -an -c:v mpeg4 -f null -", work), 0);
        std::istringstream lines(ReadFile(work + "band.txt"));
        std::vector<std::pair<double, double>> band;
        for (std::string line; std::getline(lines, line);) {
            if (const std::size_t at = line.find("pts_time:"); at != std::string::npos) band.emplace_back(std::atof(line.c_str() + at + 9), 0);
            if (const std::size_t at = line.find("YAVG="); at != std::string::npos && !band.empty()) band.back().second = std::atof(line.c_str() + at + 5);
        }
        return band;
    }
    // The shown width over the height of what is bright in the middle 512 x 512 of a file's
    // first frame: each share of columns and of rows with any bright pixel, found by halving
    // the picture down to one line, each half keeping any brightness it had.
    double InkAspect(const std::string& file, double shownOverStored)
    {
        double share[2];
        for (int rows = 0; rows < 2; ++rows) {
            std::string chain = std::string("crop=512:512,") + (rows ? "transpose=1," : "") + "format=yuv444p,lutyuv=y='gte(val,128)*255'";
            for (int i = 0; i < 9; ++i) chain += ",scale=512:ih/2:flags=area,lutyuv=y='gte(val,1)*255'";
            EXPECT_EQ(RunAndWaitExit(encoder + "-i \"" + file + "\" -frames:v 1 -vf \"" + chain + ",setsar=1,signalstats,metadata=print:file=ink.txt\" -an -c:v mpeg4 -f null -", work), 0);
            share[rows] = MeanAfter(work + "ink.txt", "YAVG=") / 255;
        }
        return share[0] * shownOverStored / share[1];
    }
};

}  // namespace

TEST_F(TargetTest, EachTargetMeetsItsStandardAndNeverStretchesThePicture)
{
    MakeClip(work + "wide.mp4", 1, "320x180");
    // A 4:3 clip without sound, where a disc's standard needs a silent track.
    ASSERT_EQ(RunAndWaitExit(encoder + "-f lavfi -i testsrc=size=160x120:rate=25 -t 1 -pix_fmt yuv420p " + Quoted(work + "square.mp4")), 0);
    struct Case {
        encode::Target target;
        const char* wide;    // the facts of the 16:9 clip's output
        const char* square;  // and of the 4:3 clip's
    } cases[] = {
        {encode::Target::Mpeg, "Version 1|320x180|16:9|25.000|44100|2", "Version 1|160x120|4:3|25.000|"},
        {encode::Target::VcdPal, "Version 1|352x288|4:3|25.000|44100|2", "Version 1|352x288|4:3|25.000|44100|2"},
        {encode::Target::VcdNtsc, "Version 1|352x240|4:3|29.970|44100|2", "Version 1|352x240|4:3|29.970|44100|2"},
        {encode::Target::DvdPal, "Version 2|720x576|16:9|25.000|48000|2", "Version 2|720x576|4:3|25.000|48000|2"},
        {encode::Target::DvdNtsc, "Version 2|720x480|16:9|29.970|48000|2", "Version 2|720x480|4:3|29.970|48000|2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(encode::TargetSetting(c.target));
        Choose([&](batch::Choices& chosen) { chosen.target = c.target; });
        EXPECT_EQ(TSettings::Read().Choices().target, c.target) << "kept for the next start";
        QueueFile(work + "wide.mp4", 2);
        QueueFile(work + "square.mp4", 2);
        ConvertAll();
        ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
        ASSERT_EQ(session->Queue().State(1), RowState::Done) << session->Queue().Reason(1);
        EXPECT_EQ(Facts(work + "\\wide.mpg"), c.wide);
        EXPECT_EQ(Facts(work + "\\square.mpg"), c.square);
        session->Queue().RemoveFinished();
    }
}

TEST_F(TargetTest, AnInputWiderThanMpeg1HoldsIsScaledDownToFitAndSaysSo)
{
    MakeClip(work + "wide.mp4", 1, "4200x2362");
    QueueFile(work + "wide.mp4", 2);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
    EXPECT_EQ(session->Queue().Reason(0), "The picture was scaled from 4200×2362 to 4094×2302, the largest that MPEG-1 holds.");
    EXPECT_EQ(Facts(work + "\\wide.mpg"), "Version 1|4094x2302|16:9|25.000|44100|2");
}

TEST_F(TargetTest, AnExistingFileIsReplacedOrSkippedOnlyWhereTheProgramMadeItFromTheSameInput)
{
    UseFakeEncoder(work);
    session->ChooseOutputFolder(work.substr(0, work.size() - 1));  // as the folder picker gives it
    const std::string in = work + "inputs\\";
    CreateDirectoryA(in.c_str(), nullptr);
    WriteFile(in + "a.mp4", "write 100\nfinish\n");
    WriteFile(in + "b.mp4", "write 200\nfinish\n");
    WriteFile(in + "a.mpg", "the camcorder's own");
    WriteFile(work + "a.mpg", "earlier");
    using encode::IfExists;
    struct Case {
        const char* what;
        const char* where;  // "beside", or the output folder
        const char* pattern;
        IfExists choice;
        const char* input;
        RowState state;
        const char* output;  // the row's file
        bool note;           // a click on "Done" says why it has another name
    } cases[] = {
        {"the output folder, as always: replaced", "", "{name}", IfExists::Replace, "a.mp4", RowState::Done, "a.mpg", false},
        {"kept beside", "", "{name}", IfExists::Keep, "a.mp4", RowState::Done, "a (2).mpg", false},
        {"skipped", "", "{name}", IfExists::Skip, "a.mp4", RowState::Skipped, "a.mpg", false},
        {"beside, the user's own file", "beside", "{name}", IfExists::Replace, "a.mp4", RowState::Done, "inputs\\a (2).mpg", true},
        {"beside, the program's own from it", "beside", "{name}", IfExists::Replace, "a.mp4", RowState::Done, "inputs\\a (2).mpg", true},
        {"and skipped there", "beside", "{name}", IfExists::Skip, "a.mp4", RowState::Skipped, "inputs\\a (2).mpg", false},
        {"a pattern: the first batch", "", "Holiday {n}", IfExists::Replace, "a.mp4", RowState::Done, "Holiday 001.mpg", false},
        {"another input in the next", "", "Holiday {n}", IfExists::Replace, "b.mp4", RowState::Done, "Holiday 001 (2).mpg", true},
        {"another input, skip", "", "Holiday {n}", IfExists::Skip, "b.mp4", RowState::Skipped, "Holiday 001 (2).mpg", false},
        {"a device's name", "", "nul", IfExists::Replace, "a.mp4", RowState::Done, "nul_.mpg", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Choose([&](batch::Choices& chosen) {
            chosen.besideInput = *c.where != 0;
            chosen.outputName = c.pattern;
            chosen.ifExists = c.choice;
        });
        QueueFile(in + c.input, 1);
        ConvertAll();
        EXPECT_EQ(session->Queue().State(0), c.state) << session->Queue().Reason(0);
        EXPECT_EQ(session->Queue().Output(0), work + c.output);
        EXPECT_EQ(session->Queue().Reason(0).find("Mervane did not make it from this file") != std::string::npos, c.note)
            << session->Queue().Reason(0);
        session->Queue().RemoveFinished();
    }
    EXPECT_EQ(ReadFile(in + "a.mpg"), "the camcorder's own");
    EXPECT_EQ(ReadFile(work + "Holiday 001.mpg").size(), 100u) << "a's output is not replaced by b's";
}

TEST_F(TargetTest, AnHlgPictureKeepsItsColoursAndADvdSaysItsPictureIsInBt601)
{
    // The test picture as shot, and as an HLG phone stores it.
    const std::string picture = "-f lavfi -i testsrc=size=320x180:rate=25 -t 1 ";
    ASSERT_EQ(RunAndWaitExit(encoder + picture + "-pix_fmt yuv420p -c:v mpeg4 -q:v 2 \"" + work + "sdr.mp4\""), 0);
    ASSERT_EQ(RunAndWaitExit(encoder + picture + "-vf zscale=tin=iec61966-2-1:t=arib-std-b67:pin=bt709:p=bt2020:m=bt2020nc:r=tv,"
                             "format=yuv420p -color_primaries bt2020 -color_trc arib-std-b67 -colorspace bt2020nc -c:v mpeg4 -q:v 2 \"" +
                             work + "hlg.mp4\""), 0);
    QueueFile(work + "hlg.mp4", 2);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
    EXPECT_EQ(session->Queue().Reason(0), "The HDR picture was converted to SDR (tone-mapped).");
    const double shot = Saturation(work + "sdr.mp4"), converted = Saturation(work + "hlg.mpg");
    // Read as SDR, the HLG picture keeps a third of its saturation; tone-mapped, 0.78 (the Mobius
    // curve's 0.80), on AVX2 and AVX-512 machines alike.
    EXPECT_GT(converted, shot * 0.75) << converted << " of " << shot << ": the picture as it was shot, not washed out";

    Choose([&](batch::Choices& c) { c.target = encode::Target::DvdPal; });
    session->Queue().RemoveFinished();
    MakeClip(work + "hd.mp4", 1, "1280x720");
    QueueFile(work + "hd.mp4", 2);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
    EXPECT_EQ(session->Queue().Reason(0), "The colours were converted to BT.601, as disc players show them.");
    // The media tool reads the sequence display extension's colours.
    const std::string read = RunAndCapture(Quoted(PayloadFolder() + "mediainfo.exe") + " --Full --Language=raw " + Quoted(work + "hd.mpg"));
    EXPECT_NE(read.find("colour_primaries                 : BT.601 PAL"), std::string::npos) << read;
    EXPECT_NE(read.find("matrix_coefficients              : BT.470 System B/G"), std::string::npos) << read;  // BT.601's, PAL
}

TEST_F(TargetTest, TheHighQualityKeepsThePictureInFewerBytesThanItsEarlierFixedRate)
{
    MakeClip(work + "motion.mp4", 2, "848x480", 10);  // moving and grainy, as an action camera's footage
    Choose([](batch::Choices& c) { c.quality = encode::Quality::High; });
    QueueFile(work + "motion.mp4", 2);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
    const double ssim = Ssim(work + "motion.mpg", work + "motion.mp4");
    EXPECT_GE(ssim, 0.95);
    // The earlier fixed rate: 1.2 bits a pixel, and 192 kbit/s of sound, for two seconds.
    const double earlier = (1.2 * 848 * 480 * 25 + 192000) * 2 / 8;
    EXPECT_LT(static_cast<double>(ReadFile(work + "motion.mpg").size()), earlier) << ssim;
}

TEST_F(TargetTest, HdrHighlightsKeepTheirShapeAndMidTonesTheirBrightness)
{
    // A PQ ramp from black to 1000 nits, tagged as a phone's HDR clip is.
    ASSERT_EQ(RunAndWaitExit(encoder + "-f lavfi -i testsrc=size=2x2:rate=25 -t 1 -vf lutyuv=y=16:u=128:v=128,pad=4:2:0:0:0xC0C0C0,"
                                       "scale=1024:64:flags=bilinear,setsar=1,setparams=color_primaries=bt2020:color_trc=smpte2084:colorspace=bt2020nc "
                                       "-pix_fmt yuv420p -c:v mpeg4 -q:v 1 ramp.mp4",
                             work),
              0);
    // Its mean brightness, and its share of pixels at 96 % grey or more, in per cent.
    auto measure = [&](const std::string& file) {
        for (const char* filter : {"signalstats,metadata=print:file=mean.txt", "lutyuv=y='gte(val,226)*255',signalstats,metadata=print:file=white.txt"})
            EXPECT_EQ(RunAndWaitExit(encoder + "-i " + file + " -vf \"" + filter + "\" -an -c:v mpeg4 -f null -", work), 0);
        return std::pair(MeanAfter(work + "mean.txt", "YAVG="), MeanAfter(work + "white.txt", "YAVG=") * 100 / 255);
    };
    // The bounds, from the curves run directly: the Mobius curve's brightness, Hable's highlights.
    std::string chain(encode::kToneMap);
    const std::size_t curve = chain.find("tonemap="), end = chain.find(',', curve);
    std::pair<double, double> bounds[2];
    for (const char* other : {"tonemap=mobius:desat=0", "tonemap=hable:desat=0"}) {
        const std::string mapped = chain.substr(0, curve) + other + chain.substr(end);
        ASSERT_EQ(RunAndWaitExit(encoder + "-i ramp.mp4 -vf " + mapped + " -c:v mpeg4 -q:v 1 bound.mp4", work), 0);
        bounds[other[8] == 'h'] = measure("bound.mp4");
    }
    QueueFile(work + "ramp.mp4", 2);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
    const auto [mean, white] = measure("ramp.mpg");
    EXPECT_NEAR(mean, bounds[0].first, bounds[0].first * 0.1) << "as bright as the Mobius curve";
    EXPECT_LE(white, bounds[1].second + 2) << "no more white than Hable's curve, and two points";
    EXPECT_GT(bounds[0].second, bounds[1].second + 2) << "the Mobius curve is told apart";
}

TEST_F(TargetTest, ABatchFittedToASizeFillsItAndWhatCannotFitIsAskedFirst)
{
    std::vector<std::string> asked;
    app::TSessionEvents events;
    events.OnQuestion = [&](const std::string& question) { return asked.push_back(question), false; };
    session->Listen(events);
    // Three grainy clips fitted to 1 MB, in two passes each; paused in the first pass.
    for (int seconds : {2, 3, 4}) {
        const std::string clip = work + "fit" + std::to_string(seconds) + ".mp4";
        MakeClip(clip, seconds, "320x240", 10);
        QueueFile(clip, seconds);
    }
    const std::int64_t size = 1024 * 1024;
    Choose([](batch::Choices& c) { c.fitTo = encode::FitToFromSetting("1"); });
    session->Start();
    session->Batch().PauseOrResume();
    PumpFor(1500);
    session->Batch().PauseOrResume();
    PumpUntil([&] { return !Converting(); }, 120000);
    std::int64_t total = 0;
    for (int row = 0; row < 3; ++row) {
        ASSERT_EQ(session->Queue().State(row), RowState::Done) << session->Queue().Reason(row);
        total += static_cast<std::int64_t>(ReadFile(session->Queue().Output(row)).size());
    }
    EXPECT_LE(total, size);
    EXPECT_GE(total, size * 95 / 100);
    EXPECT_FALSE(FileExists(batch::PassLogPath(session->Folders().temp, 0) + "-0.log")) << "the passes' log leaves with the row";
    EXPECT_TRUE(asked.empty());

    // Below what the target should have, and more than the volume holds: asked, and a no starts nothing.
    session->Queue().RemoveFinished();
    QueueFile(work + "fit4.mp4", 36000);
    session->Start();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].rfind("This file (10 h 0 min) needs a lower quality than 1 MB should have: about ", 0), 0u) << asked[0];
    EXPECT_FALSE(Converting());
    Choose([](batch::Choices& c) { c.fitTo = {}; });
    ULARGE_INTEGER free{};
    GetDiskFreeSpaceExA(work.c_str(), &free, nullptr, nullptr);
    // Rows of the longest the media tool gives, until the program counts more than the volume has.
    while (static_cast<std::uint64_t>(session->ExpectedBytes()) <= free.QuadPart) QueueFile(work + "fit4.mp4", 23 * 3600);
    session->Start();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_NE(asked[1].find(" free. Convert anyway?"), std::string::npos) << asked[1];
    EXPECT_FALSE(Converting());
}

TEST_F(TargetTest, AFolderTreeIsWalkedPastItsLoopAndItsOutputsKeepItsSubfolders)
{
    // tree\{top,same}.mp4, tree\2024\{same.mp4,notes.txt}, tree\2024\05\deep.mp4, and
    // tree\2024\05\loop, a link back to tree, which the build makes.
    const std::string tree = ExeFolder() + "tree\\";
    // Beside them: a Mac's "._" file the media tool cannot read, a name "*.mp4" finds only
    // by its 8.3 form, and a hidden system folder (an application's cache) with a clip.
    const std::vector<std::string> clips{"top.mp4", "same.mp4", "2024\\same.mp4", "2024\\05\\deep.mp4", "cache\\kept.mp4"};
    CreateDirectoryA((tree + "cache").c_str(), nullptr);
    for (const std::string& clip : clips) MakeClip(tree + clip, 1);
    SetFileAttributesA((tree + "cache").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const std::vector<std::string> others{"2024\\notes.txt", "._top.mp4", "x.mp4_"};
    for (const std::string& other : others) testing_support::WriteFile(tree + other, "");
    fw::scope_exit tidy([&] {
        for (const std::string& file : clips) DeleteFileA((tree + file).c_str());
        for (const std::string& file : others) DeleteFileA((tree + file).c_str());
        SetFileAttributesA((tree + "cache").c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA((tree + "cache").c_str());
    });
    Choose([](batch::Choices& c) {
        c.subfolders = true;
        c.outputName = "{folder} {name}";
    });
    session->Intake().AddFolder(tree);
    ASSERT_EQ(session->Queue().Count(), 4) << "the loop is not followed, the text file not taken";
    ASSERT_EQ(told.size(), 1u) << "one message for the tree";
    EXPECT_EQ(told.front(), "These files were not added. Links and mount points (not followed): " + tree +
                                "2024\\05\\loop. Files the media tool could not read (a bad file header): ._top.mp4.");
    told.clear();
    std::vector<std::string> top{session->Queue().Path(0), session->Queue().Path(1)};
    std::sort(top.begin(), top.end());
    EXPECT_EQ(top, (std::vector<std::string>{tree + "same.mp4", tree + "top.mp4"})) << "the top's own files first";
    EXPECT_EQ(session->Queue().Path(2), tree + "2024\\same.mp4");
    EXPECT_EQ(session->Queue().Path(3), tree + "2024\\05\\deep.mp4");
    EXPECT_TRUE(told.empty()) << told.front();
    ConvertAll();
    for (const char* output : {"tree top.mpg", "tree same.mpg", "2024\\2024 same.mpg", "2024\\05\\05 deep.mpg"})
        EXPECT_TRUE(FileExists(work + output)) << output;
}

TEST_F(TargetTest, BesideItsInputAnOutputGoesNextToIt)
{
    const std::string inputs = work + "inputs\\";
    CreateDirectoryA(inputs.c_str(), nullptr);
    MakeClip(inputs + "clip.mp4", 1);
    Choose([](batch::Choices& c) { c.besideInput = true; });
    QueueFile(inputs + "clip.mp4", 1);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
    EXPECT_EQ(session->Queue().Output(0), inputs + "clip.mpg");
}

TEST_F(TargetTest, ACutInputIsDoneWithANoteAndADvdOfThreeTracksFitsItsSizeWithEachTrack)
{
    // A clip whose index is at the front, cut to half its bytes, as a half-copied file is.
    MakeClip(work + "whole.mp4", 4, "320x240", 10);
    EXPECT_EQ(RunAndWaitExit(encoder + "-i whole.mp4 -c copy -movflags +faststart front.mp4", work), 0);
    const std::string front = ReadFile(work + "front.mp4");
    WriteFile(work + "cut.mp4", front.substr(0, front.size() / 2));
    QueueFile(work + "cut.mp4", 5);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
    EXPECT_EQ(session->Queue().Reason(0).find("Only "), 0u) << session->Queue().Reason(0);
    EXPECT_NE(session->Queue().Reason(0).find(" of 4 s could be read: the file ends early."), std::string::npos);
    session->Queue().RemoveFinished();

    // Three tracks on a DVD fitted to 2 MB: each track's rate comes from the picture's.
    EXPECT_EQ(RunAndWaitExit(encoder + "-i whole.mp4 -f lavfi -i sine=frequency=300 -f lavfi -i sine=frequency=500 -map 0 -map 1:a "
                                       "-map 2:a -c:v copy -c:a aac -t 4 three.mp4",
                             work),
              0);
    Choose([&](batch::Choices& c) { c.target = encode::Target::DvdPal; });
    Choose([](batch::Choices& c) { c.fitTo = encode::FitToFromSetting("2"); });
    QueueFile(work + "three.mp4", 4);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
    EXPECT_LE(ReadFile(work + "three.mpg").size(), 2u * 1024 * 1024);
    const std::string tool = Quoted(PayloadFolder() + "mediainfo.exe") + " ";
    EXPECT_EQ(fw::Trim(RunAndCapture(tool + "\"--Inform=General;%AudioCount%\" \"" + work + "three.mpg\"")), "3");
}

TEST_F(TargetTest, SubtitlesBesideTheVideoOrInItAreBurnedInInAnyCodePage)
{
    const std::string grusse = "Gr\xC3\xBC\xC3\x9F" "e";
    const struct {
        std::string bytes;
        unsigned codePage;
        std::string text;
    } pages[] = {
        {"\xEF\xBB\xBF" + grusse, 1256, grusse},
        {grusse, 1256, grusse},
        {std::string("\xFF\xFEG\0r\0\xFC\0\xDF\0", 10), 1252, "Gr\xC3\xBC\xC3\x9F"},
        {std::string("\xFE\xFF\0G\0r\0\xFC\0\xDF", 10), 1252, "Gr\xC3\xBC\xC3\x9F"},
        {"Gr\xFC\xDF" "e", 1252, grusse},
        {"\xE3\xD1\xCD\xC8\xC7!", 1256, "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7!"},
    };
    for (const auto& page : pages) EXPECT_EQ(encode::TextAsUtf8(page.bytes, page.codePage), page.text) << page.bytes;

    // One cue from 1 s to 2 s: beside a name the filter graph would split, in Windows-1252
    // beside another, and as the default text track of a third.
    const std::string cue = "1\r\n00:00:01,000 --> 00:00:02,000\r\n";
    const std::string odd = work + "it's [a], b";
    MakeDarkClip(odd + ".mp4", 3, "320x240");
    WriteFile(odd + ".srt", cue + grusse + "\r\n");
    ASSERT_TRUE(CopyFileA((odd + ".mp4").c_str(), (work + "ansi.mp4").c_str(), FALSE));
    WriteFile(work + "ansi.srt", cue + "Gr\xFC\xDF" "e\r\n");
    WriteFile(work + "cue.txt", cue + grusse + "\r\n");
    MakeDarkClip(work + "track.mp4", 3, "320x240", work + "cue.txt");
    // And a file the encoder refuses (no script header): converted without it.
    ASSERT_TRUE(CopyFileA((odd + ".mp4").c_str(), (work + "bad.mp4").c_str(), FALSE));
    WriteFile(work + "bad.ass", "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,Hi\n");
    for (const char* name : {"it's [a], b.mp4", "ansi.mp4", "track.mp4", "bad.mp4"}) QueueFile(work + name, 3);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(3), RowState::Done) << session->Queue().Reason(3);
    EXPECT_EQ(session->Queue().Reason(3), "The subtitles in bad.ass were not burned in: the encoder could not read them.");
    const char* notes[] = {"Subtitles burned in from it's [a], b.srt.", "Subtitles burned in from ansi.srt.",
                           "Subtitles burned in from the video's own subtitle track."};
    for (int row = 0; row < 3; ++row) {
        ASSERT_EQ(session->Queue().State(row), RowState::Done) << session->Queue().Reason(row);
        EXPECT_EQ(session->Queue().Reason(row), notes[row]);
        const auto band = LowerBand(session->Queue().Output(row));
        const double dark = std::min_element(band.begin(), band.end(), [](auto& a, auto& b) { return a.second < b.second; })->second;
        for (const auto& [time, brightness] : band) {
            if (std::abs(time - 1) < 0.1 || std::abs(time - 2) < 0.1) continue;  // the edges of the subtitle
            EXPECT_EQ(brightness > dark + 0.5, time > 1 && time < 2) << row << " at " << time << ": " << brightness;
        }
    }
    EXPECT_TRUE(ReadFile(work + "ansi.mpg") == ReadFile(odd + ".mpg")) << "Windows-1252 drawn as UTF-8 is";
    EXPECT_FALSE(FileExists(session->Folders().temp + "ffmpeg_subtitles_1.srt")) << "the copy leaves with its row";
}

TEST_F(TargetTest, ADvdsWidePictureDrawsRoundLetters)
{
    const std::string big = "[Script Info]\nScriptType: v4.00+\nPlayResX: 384\nPlayResY: 288\n\n[V4+ Styles]\n"
                            "Format: Name, Fontname, Fontsize, PrimaryColour, Alignment\nStyle: Default,DejaVu Sans,120,&H00FFFFFF,5\n\n"
                            "[Events]\nFormat: Layer, Start, End, Style, Text\nDialogue: 0,0:00:00.00,0:00:01.00,Default,O\n";
    MakeDarkClip(work + "square.mp4", 1, "1024x576");
    MakeDarkClip(work + "wide.mp4", 1, "640x360");
    for (const char* name : {"square.ass", "wide.ass"}) WriteFile(work + name, big);
    QueueFile(work + "square.mp4", 1);
    ConvertAll();
    Choose([&](batch::Choices& c) { c.target = encode::Target::DvdPal; });
    QueueFile(work + "wide.mp4", 1);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(1), RowState::Done) << session->Queue().Reason(1);
    const double square = InkAspect(work + "square.mpg", 1), wide = InkAspect(work + "wide.mpg", 1024.0 / 720);
    EXPECT_NEAR(wide, square, square * 0.1) << "as shown on a 16:9 screen";
}

TEST_F(TargetTest, ADvdBatchBecomesADiscFittedToItsSizeWholeOrNotAtAll)
{
    // 10 s of 16:9 in English, 6 s of 4:3 in French and German; fitted to 12 MB.
    ASSERT_EQ(RunAndWaitExit(encoder + "-f lavfi -i testsrc=size=640x360:rate=25:duration=10 -f lavfi -i sine=d=10 "
                                       "-c:v mpeg4 -c:a aac -metadata:s:a:0 language=eng wide.mp4", work), 0);
    ASSERT_EQ(RunAndWaitExit(encoder + "-f lavfi -i testsrc=size=320x240:rate=25:duration=6 -f lavfi -i sine=d=6 -f lavfi "
                                       "-i sine=f=800:d=6 -map 0 -map 1 -map 2 -c:v mpeg4 -c:a aac -metadata:s:a:0 language=fra "
                                       "-metadata:s:a:1 language=ger narrow.mp4", work), 0);
    Choose([](batch::Choices& c) {
        c.target = encode::Target::DvdPal, c.disc = disc::Disc::DvdVideo, c.discName = "Holiday", c.discMenu = disc::DiscMenu::None;
        c.fitTo = encode::FitToFromSetting("12");
    });
    QueueFile(work + "wide.mp4", 10);
    QueueFile(work + "narrow.mp4", 6);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(1), RowState::Done) << session->Queue().Reason(1);
    EXPECT_TRUE(fw::FileExists(work + "Holiday\\VIDEO_TS\\VTS_02_1.VOB"));
    EXPECT_TRUE(fw::DirectoryExists(work + "Holiday\\AUDIO_TS"));
    EXPECT_LE(ReadFile(work + "Holiday.iso").size(), 12u * 1024 * 1024);
    EXPECT_FALSE(fw::FileExists(work + "wide.mpg")) << "the streams are working files";
    EXPECT_EQ(session->Queue().Reason(1), "Title 2 of the DVD-Video disc \"Holiday\" (Holiday.iso and its folder).");
    // Read back with Debian's DVD libraries by the test that follows this program.
    const std::string kept = ExeFolder() + "disc\\";
    RemoveTree(kept);
    CreateDirectoryA(kept.c_str(), nullptr);
    ASSERT_TRUE(MoveFileA((work + "Holiday").c_str(), (kept + "Holiday").c_str()));
    ASSERT_TRUE(MoveFileA((work + "Holiday.iso").c_str(), (kept + "Holiday.iso").c_str()));

    // A stop while the disc is made leaves nothing under its name, and the stream.
    session->Queue().RemoveFinished();
    Choose([](batch::Choices& c) { c.discName = "Stopped", c.fitTo = {}; });
    QueueFile(work + "wide.mp4", 10);
    session->Start();
    PumpUntil([&] { return fw::DirectoryExists(work + "Stopped.~00") || !Converting(); }, 120000);
    session->Batch().StopNow();
    PumpUntil([&] { return !Converting(); }, 10000);
    EXPECT_TRUE(fw::FileExists(work + "wide.mpg"));
    for (const char* left : {"Stopped", "Stopped.iso", "Stopped.~00", "Stopped.~01"}) EXPECT_FALSE(fw::FileExists(work + left) || fw::DirectoryExists(work + left)) << left;
}

// The disc maker on its own, with streams the encoder makes directly: a disc of 99 titles in
// 14 title sets (read back by the test that follows this program), an old disc replaced only
// where its folder is a disc's, and a disc in a folder past MAX_PATH.
TEST_F(TargetTest, ADiscOfAnySizeReplacesOnlyADiscAndLosesNothing)
{
    for (const char* shape : {"16:9", "4:3"})
        ASSERT_EQ(RunAndWaitExit(encoder + "-f lavfi -i testsrc=size=720x576:rate=25:duration=1 -f lavfi -i sine=d=1 -target pal-dvd "
                                           "-aspect " + shape + (shape[1] == '6' ? " wide.vob" : " narrow.vob"), work), 0);
    // The disc of 99 titles with its menu of 17 pages, walked by the test that follows this program.
    auto make = [&](const std::string& folder, const std::string& name, int titles) {
        disc::TDiscMaker maker({.tool = PayloadFolder() + "dvdauthor.exe", .menu = titles == 99 ? disc::DiscMenu::Titles : disc::DiscMenu::None,
                                .encoder = PayloadFolder() + "ffmpeg.exe", .spumux = PayloadFolder() + "spumux.exe",
                                .font = PayloadFolder() + "fonts\\DejaVuSans.ttf", .folder = folder, .name = name, .workFolder = work});
        for (int i = 1; i <= titles; ++i) {
            const bool wide = i > 13 || i % 2 == 0;  // titles 1 to 13 each a set of their own, the rest one more
            const std::string stream = work + "t" + std::to_string(i) + ".mpg";
            CopyFileA((work + (wide ? "wide.vob" : "narrow.vob")).c_str(), stream.c_str(), FALSE);
            maker.AddTitle(i, {stream, wide, {"eng"}, 1, 0, "Title " + std::to_string(i)});
        }
        std::optional<disc::DiscResult> result;
        maker.OnEnd = [&](const disc::DiscResult& r) { result = r; };
        maker.Start();
        PumpUntil([&] { return result.has_value(); }, 120000);
        return result.value_or(disc::DiscResult{false, {}, {}, "no end"});
    };
    const std::string kept = ExeFolder() + "disc-many\\";
    RemoveTree(kept);
    CreateDirectoryA(kept.c_str(), nullptr);
    const disc::DiscResult many = make(kept.substr(0, kept.size() - 1), "Many", 99);
    ASSERT_TRUE(many.made) << many.failure;
    EXPECT_EQ(many.note, "");
    EXPECT_TRUE(fw::FileExists(kept + "Many\\VIDEO_TS\\VTS_14_1.VOB")) << "14 title sets";

    const struct {
        const char* what;
        std::vector<std::string> old;  // files of the old folder of the disc's name
        std::string madeAs;
    } cases[] = {
        {"a disc Explorer has been in", {"VIDEO_TS\\VIDEO_TS.IFO", "desktop.ini"}, "Small"},
        {"a folder with a user's file", {"VIDEO_TS\\VIDEO_TS.IFO", "notes.txt"}, "Small (2)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(work + "out\\");
        CreateDirectoryA((work + "out").c_str(), nullptr);
        CreateDirectoryA((work + "out\\Small").c_str(), nullptr);
        CreateDirectoryA((work + "out\\Small\\VIDEO_TS").c_str(), nullptr);
        for (const std::string& file : c.old) WriteFile(work + "out\\Small\\" + file, "old");
        WriteFile(work + "out\\Small.iso", "old");
        const disc::DiscResult small = make(work + "out", "Small", 2);
        ASSERT_TRUE(small.made) << small.failure;
        EXPECT_EQ(small.name, c.madeAs);
        EXPECT_GT(ReadFile(work + "out\\" + c.madeAs + ".iso").size(), 100000u);
        const bool replaced = c.madeAs == std::string("Small");
        EXPECT_EQ(fw::FileExists(work + "out\\Small\\" + c.old[1]), !replaced) << "the old folder's own file";
        EXPECT_EQ(ReadFile(work + "out\\Small.iso") == "old", !replaced);
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((work + "out\\*.~*").c_str(), &found);
        EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "left aside: " << found.cFileName;
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }

    std::string deep = work + "out";
    while (deep.size() < 280) {
        deep += "\\a folder of some length";
        CreateDirectoryW(fw::WidePath(deep).c_str(), nullptr);
    }
    const disc::DiscResult distant = make(deep, "Far", 2);
    EXPECT_TRUE(distant.made) << distant.failure;
    EXPECT_TRUE(fw::FileExists(deep + "\\Far.iso"));
    disc::RemoveDiscFolder(deep + "\\Far");
    DeleteFileW(fw::WidePath(deep + "\\Far.iso").c_str());
    for (; deep.size() > work.size() + 3; deep.erase(deep.rfind('\\'))) RemoveDirectoryW(fw::WidePath(deep).c_str());
    RemoveTree(work + "out\\");
}

TEST_F(TargetTest, SoundIsEvenedOutAndAnUprightPictureFillsItsBarsWithItself)
{
    // A quiet clip, a loud one, a quiet one with a loud click, and one without sound; kept for
    // Debian's own ffmpeg to measure (tests/loudness_readback.sh).
    // The click, one frame of sound at full scale in ten seconds of the quiet one, holds its gain back.
    const std::string picture = "-f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 -t ";
    const std::tuple<const char*, const char*, int> sounds[] = {
        {"quiet", "volume=-14dB", 3}, {"loud", "volume=9dB", 3}, {"click", "volume=0.2,volume=40:enable='between(t,1,1.03)'", 10}};
    for (const auto& [name, volume, seconds] : sounds) {
        ASSERT_EQ(RunAndWaitExit(encoder + picture + std::to_string(seconds) + " -af \"" + volume + "\" -pix_fmt yuv420p " + name + ".mp4", work), 0);
        QueueFile(work + name + ".mp4", seconds);
    }
    ASSERT_EQ(RunAndWaitExit(encoder + picture + "3 -an -pix_fmt yuv420p silent.mp4", work), 0);
    QueueFile(work + "silent.mp4", 3);
    Choose([](batch::Choices& c) { c.loudness = encode::Loudness::Even; });
    ConvertAll();
    for (int row = 0; row < 4; ++row) ASSERT_EQ(session->Queue().State(row), RowState::Done) << session->Queue().Reason(row);
    EXPECT_EQ(session->Queue().Reason(0).rfind("Sound raised by ", 0), 0u) << session->Queue().Reason(0);
    EXPECT_EQ(session->Queue().Reason(1).rfind("Sound lowered by ", 0), 0u) << session->Queue().Reason(1);
    EXPECT_EQ(session->Queue().Reason(3), "") << "a file without sound is left as it is";
    const std::string kept = ExeFolder() + "loudness\\";
    RemoveTree(kept);
    CreateDirectoryA(kept.c_str(), nullptr);
    for (const char* name : {"quiet", "loud", "click"}) EXPECT_TRUE(CopyFileA((work + name + ".mpg").c_str(), (kept + name + ".mpg").c_str(), FALSE));
    // Fitted, the quiet clip's sound is measured in its first pass.
    session->Queue().RemoveFinished();
    Choose([](batch::Choices& c) { c.fitTo = encode::FitToFromSetting("50"); });
    QueueFile(work + "quiet.mp4", 3);
    ConvertAll();
    EXPECT_EQ(session->Queue().Reason(0).rfind("Sound raised by ", 0), 0u) << session->Queue().Reason(0);
    EXPECT_TRUE(CopyFileA((work + "quiet.mpg").c_str(), (kept + "fitted.mpg").c_str(), FALSE));
    Choose([](batch::Choices& c) { c.fitTo = {}; });

    // An upright phone clip on a DVD: the bars move with the picture, the picture is as with black bars.
    session->Queue().RemoveFinished();
    MakeClip(work + "upright.mp4", 2, "270x480", 10);
    Choose([](batch::Choices& c) { c.loudness = encode::Loudness::Off, c.target = encode::Target::DvdPal; });
    QueueFile(work + "upright.mp4", 2);
    ConvertAll();
    ASSERT_TRUE(MoveFileA((work + "upright.mpg").c_str(), (work + "black.mpg").c_str()));
    Choose([](batch::Choices& c) { c.fill = encode::Fill::Blur; });
    session->Queue().RemoveFinished();
    QueueFile(work + "upright.mp4", 2);
    ConvertAll();
    ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
    // The left bar's mean and its change from frame to frame, and the centre's SSIM against black bars'.
    ASSERT_EQ(RunAndWaitExit(encoder + "-i upright.mpg -vf crop=120:576:0:0,signalstats,metadata=print:file=bar.txt -an -c:v mpeg4 -f null -", work), 0);
    EXPECT_GT(MeanAfter(work + "bar.txt", "YAVG="), 20) << "not black";
    EXPECT_GT(MeanAfter(work + "bar.txt", "YDIF="), 0.5) << "moving";
    ASSERT_EQ(RunAndWaitExit(encoder + "-i upright.mpg -i black.mpg -lavfi \"[0:v]crop=240:576:240:0[o];[1:v]crop=240:576:240:0[r];[o][r]ssim=stats_file=centre.txt\" -an -c:v mpeg4 -f null -", work), 0);
    EXPECT_GE(MeanAfter(work + "centre.txt", "All:"), 0.98);
}
