// What a conversion makes: targets and their settings, what the encoder says of an input, a
// picture too large for MPEG-1, and the arguments of each target.
#include <gtest/gtest.h>

#include "batch/OutputFiles.h"
#include "encode/EncoderArgs.h"
#include "encode/Rates.h"
#include "encode/FitLogic.h"
#include "batch/Plan.h"
#include "encode/TargetLogic.h"
#include "queue/Queue.h"

using namespace batch;
using namespace encode;

TEST(Targets, SettingsReadAsWrittenAndAnythingElseIsTheDefault)
{
    for (Target target : kTargets) EXPECT_EQ(TargetFromSetting(TargetSetting(target)), target);
    EXPECT_EQ(TargetFromSetting("DVD-PAL"), Target::Mpeg);
    EXPECT_STREQ(TargetLabel(Target::VcdNtsc), "Video CD");
    EXPECT_STREQ(TargetLabel(Target::DvdPal), "DVD");
    for (IfExists choice : {IfExists::Replace, IfExists::Keep, IfExists::Skip})
        EXPECT_EQ(IfExistsFromSetting(IfExistsSetting(choice)), choice);
    EXPECT_EQ(IfExistsFromSetting(""), IfExists::Replace);
}

TEST(Targets, WhatTheEncoderSaysOfItsInput)
{
    const std::string video = "    Stream #0:0(und): Video: h264 (High) (avc1 / 0x31637661), yuv420p, ";
    const std::string audio = "    Stream #0:1(und): Audio: aac (LC) (mp4a / 0x6134706D), 48000 Hz, stereo";
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        PictureSize picture;
        double aspect;
        bool audio;
        const char* matrix = "";
        const char* transfer = "";
    } cases[] = {
        {"wide, with sound", {video + "1920x1080 [SAR 1:1 DAR 16:9], 25 fps", audio}, {1920, 1080}, 16.0 / 9, true},
        {"anamorphic, silent", {video + "720x576 [SAR 16:15 DAR 4:3], 25 fps"}, {720, 576}, 4.0 / 3, false},
        {"a phone held upright", {video + "3840x2160, 30 fps", "      rotate          : 90", audio}, {2160, 3840}, 9.0 / 16, true},
        {"HLG, on a Dolby Vision layer",
         {"  Stream #0:0[0x1](und): Video: hevc (Main 10) (hvc1 / 0x31637668), yuv420p10le(tv, bt2020nc/bt2020/arib-std-b67), "
          "1280x720, 2690 kb/s, 30 fps", "        DOVI configuration record: version: 1.0, profile: 8"},
         {1280, 720}, 16.0 / 9, false, "bt2020nc", "arib-std-b67"},
        {"one name for all three",
         {"  Stream #0:0[0x1](eng): Video: h264 (Main) (avc1 / 0x31637661), yuvj420p(pc, bt709, progressive), 848x480 [SAR 1:1 DAR 53:30]"},
         {848, 480}, 53.0 / 30, false, "bt709", "bt709"},
    };
    for (const Case& c : cases) {
        const std::optional<InputFacts> facts = ReadInputFacts(c.lines);
        ASSERT_TRUE(facts) << c.what;
        EXPECT_EQ(facts->picture, c.picture) << c.what;
        EXPECT_NEAR(facts->displayAspect, c.aspect, 0.001) << c.what;
        EXPECT_EQ(facts->hasAudio, c.audio) << c.what;
        EXPECT_EQ(facts->matrix, c.matrix) << c.what;
        EXPECT_EQ(facts->transfer, c.transfer) << c.what;
    }
    EXPECT_FALSE(ReadInputFacts({audio})) << "no picture";
}

TEST(Targets, APictureTooLargeForMpeg1IsScaledDownToFit)
{
    struct Case {
        PictureSize from, to;
    } cases[] = {{{7680, 4320}, {4094, 2302}}, {{4200, 2362}, {4094, 2302}}, {{4320, 7680}, {2302, 4094}},
                 {{4095, 100}, {4095, 100}}, {{1920, 1080}, {1920, 1080}}};
    for (const Case& c : cases) EXPECT_EQ(FitMpeg1(c.from), c.to) << c.from.width << "x" << c.from.height;
    EXPECT_TRUE(RefusedAsTooLarge({"[mpeg1video @ 0516f600] MPEG-1 video does not support resolutions above 4095x4095"}));
}

TEST(EncoderArguments, EachTargetQualityAndPictureGetsItsLineAndTheDefaultIsTheProgramsOwnByteForByte)
{
    const auto box = [](const char* w, const char* h, const char* shown, bool to601) {
        return std::string("scale=w='if(gt(dar,") + shown + ")," + w + ",2*trunc(" + w + "*dar/(" + shown + ")/2))':h='if(gt(dar," +
               shown + "),2*trunc(" + h + "*(" + shown + ")/dar/2)," + h + ")'" +
               (to601 ? ":in_color_matrix=bt709:out_color_matrix=bt601" : "") + ",pad=" + w + ":" + h +
               ":(ow-iw)/2:(oh-ih)/2,setdar=" + shown;
    };
    const std::string toneMapped = "yadif=deint=interlaced," + std::string(kToneMap);
    const std::string pal = ",setparams=color_primaries=bt470bg:color_trc=bt470bg:colorspace=bt470bg";
    const std::string mpeg = " -r 25 -ab 128000 -ar 44100 -ac 2 -f mpeg \"a.~00\"", mpegHigh = " -r 25 -ab 192000 -ar 44100 -ac 2 -f mpeg \"a.~00\"";
    const std::string high = " -b 15000000 -maxrate 15000000 -bufsize 4194304 -qmin 5";
    // The pictures: HD in BT.709, SD in BT.601, HLG and PQ phone clips, an SD one that says
    // nothing (BT.601 by its size), and one larger than MPEG-1 holds.
    const InputFacts hd{{1920, 1080}, 16.0 / 9, true, "bt709", "bt709"}, sd{{720, 576}, 4.0 / 3, true, "bt470bg", "bt470bg"},
        hlg{{1920, 1080}, 16.0 / 9, true, "bt2020nc", "arib-std-b67"}, pq{{720, 1280}, 9.0 / 16, true, "bt2020nc", "smpte2084"},
        plainSdSilent{{640, 480}, 4.0 / 3, false}, huge{{8000, 4000}, 2.0, true, "bt709", "bt709"};
    struct Case {
        EncodeRequest request;
        std::string line;
    } cases[] = {
        {{"C:\\clips\\a.mp4", "D:\\out\\a.~00"},
         " -i \"C:\\clips\\a.mp4\" -y -vf yadif=deint=interlaced -b 900000 -r 25 -ab 128000 -ar 44100 -ac 2 -f mpeg "
         "\"D:\\out\\a.~00\""},
        {{"a.mp4", "a.~00", Target::Mpeg, Quality::Standard, hd}, " -i \"a.mp4\" -y -vf yadif=deint=interlaced -b 900000" + mpeg},
        {{"a.mp4", "a.~00", Target::Mpeg, Quality::Standard, huge, PictureSize{4094, 2046}},
         " -i \"a.mp4\" -y -vf yadif=deint=interlaced,scale=4094:2046 -b 900000" + mpeg},
        {{"a.mp4", "a.~00", Target::Mpeg, Quality::Standard, hlg}, " -i \"a.mp4\" -y -vf \"" + toneMapped + "\" -b 900000" + mpeg},
        // The high quality: the quantiser 5 at least, below a peak, whatever the picture; fitted, a rate.
        {{"a.mp4", "a.~00", Target::Mpeg, Quality::High, pq}, " -i \"a.mp4\" -y -vf \"" + toneMapped + "\"" + high + mpegHigh},
        {{"a.mp4", "a.~00", Target::Mpeg, Quality::High, InputFacts{{320, 240}, 4.0 / 3, true}},
         " -i \"a.mp4\" -y -vf yadif=deint=interlaced" + high + mpegHigh},
        {{"a.mp4", "a.~00", Target::Mpeg, Quality::High, hd, {}, 3'000'000}, " -i \"a.mp4\" -y -vf yadif=deint=interlaced -b 3000000" + mpegHigh},
        {{"a.mp4", "a.~00", Target::DvdPal, Quality::Standard, hd},
         " -i \"a.mp4\" -y -vf \"yadif=deint=interlaced," + box("720", "576", "16/9", true) + pal +
             "\" -target pal-dvd -aspect 16:9 -ac 2 \"a.~00\""},
        {{"a.mp4", "a.~00", Target::DvdPal, Quality::High, sd},
         " -i \"a.mp4\" -y -vf \"yadif=deint=interlaced," + box("720", "576", "4/3", false) + pal +
             "\" -target pal-dvd -aspect 4:3 -ac 2 -b:v 9000000 -qmin 5 \"a.~00\""},
        {{"a.mp4", "a.~00", Target::DvdNtsc, Quality::Standard, hlg},
         " -i \"a.mp4\" -y -vf \"" + toneMapped + "," + box("720", "480", "16/9", true) +
             ",setparams=color_primaries=smpte170m:color_trc=smpte170m:colorspace=smpte170m\" -target ntsc-dvd -aspect 16:9 "
             "-ac 2 \"a.~00\""},
        {{"a.mp4", "a.~00", Target::VcdNtsc, Quality::High, plainSdSilent},
         " -i \"a.mp4\" -f lavfi -i anullsrc=channel_layout=stereo:sample_rate=44100 -y -vf \"yadif=deint=interlaced," +
             box("352", "240", "4/3", false) + "\" -target ntsc-vcd -aspect 4:3 -ac 2 -shortest \"a.~00\""},
        // A fitted file's second pass reads the first's log.
        {{"a.mp4", "a.~00", Target::Mpeg, Quality::Standard, hd, {}, 1'200'000, 2, "C:\\temp\\ffmpeg_pass_1"},
         " -i \"a.mp4\" -y -vf yadif=deint=interlaced -b 1200000 -r 25 -ab 128000 -ar 44100 -ac 2 -f mpeg -pass 2 -passlogfile "
         "\"C:\\temp\\ffmpeg_pass_1\" \"a.~00\""},
    };
    for (const Case& c : cases) EXPECT_EQ(EncodeArguments(c.request).Line(), c.line);
    // What a click on "Done" says of the colours.
    EXPECT_EQ(ColourNotes(cases[4].request), std::vector<std::string>{"The HDR picture was converted to SDR (tone-mapped)."});
    EXPECT_EQ(ColourNotes(cases[9].request).size(), 2u);
    EXPECT_TRUE(ColourNotes(cases[8].request).empty()) << "an SD picture in BT.601 is not converted again";
    EXPECT_EQ(DescribeArguments("\\\\?\\C:\\a b.mp4").Line(), " -hide_banner -i \"\\\\?\\C:\\a b.mp4\"");
    // Quoted once, as the C runtime reads it back: a quote escaped, the backslashes before it
    // and before the closing quote doubled.
    EXPECT_EQ(TArguments().Add({"say \"hi\"", "x"}).AddPath("C:\\dir\\").Line(), " \"say \\\"hi\\\"\" x \"C:\\dir\\\\\"");
}

TEST(FitToDisc, OneRateForTheBatchWithinThePeakAndAWordWhereItIsTooLow)
{
    EXPECT_EQ(FitToFromSetting("dvd").bytes, 4'700'000'000);
    EXPECT_EQ(FitToFromSetting("cd").bytes, 700LL * 1024 * 1024);
    EXPECT_EQ(FitToFromSetting("2000").bytes, 2000LL * 1024 * 1024);
    for (const char* bad : {"", "0", "-5", "4.7", "dvd9", "99999999"}) EXPECT_EQ(FitToFromSetting(bad), FitTo{}) << bad;
    EXPECT_EQ(FitLabel(FitToFromSetting("dvd-dl")), "8.5 GB");
    for (const char* kept : {"none", "cd", "dvd", "dvd-dl", "2000"}) EXPECT_EQ(FitSetting(FitToFromSetting(kept)), kept);
    EXPECT_FALSE(FitApplies(FitToFromSetting("cd"), Target::VcdPal)) << "a Video CD's rates are fixed";
    struct Case {
        const char* fit;
        std::int64_t seconds;
        int files;
        Target target;
        int video;  // bits a second
        bool belowFloor;
    } cases[] = {
        // 4.7 GB less 3 % and 16 KB a file, in bits, over two hours, less the AC-3 at 448 kbit/s;
        // an MPEG file less 1.5 %.
        {"dvd", 7200, 3, Target::DvdPal, 4'617'501, false},
        {"dvd", 600, 1, Target::DvdPal, kDvdPeakVideoRate, false},  // ten minutes: the DVD's peak
        {"dvd", 9 * 3600 + 12 * 60, 14, Target::DvdNtsc, 653'152, true},
        {"cd", 3600, 2, Target::Mpeg, 1'478'579, false},
        {"100", 3600, 2, Target::Mpeg, 101'449, true},
    };
    for (const Case& c : cases) {
        const FittedRate rate = FitRate(FitToFromSetting(c.fit).bytes, c.seconds, c.files, c.target, Quality::Standard);
        EXPECT_NEAR(rate.video, c.video, 2) << c.fit << " " << c.seconds;
        EXPECT_EQ(rate.belowFloor, c.belowFloor) << c.fit << " " << c.seconds;
    }
    const FittedRate low = FitRate(4'700'000'000, 9 * 3600 + 12 * 60, 14, Target::DvdPal, Quality::Standard);
    EXPECT_EQ(BelowFloorQuestion(14, 9 * 3600 + 12 * 60, FitToFromSetting("dvd"), low),
              "These 14 files (9 h 12 min) need a lower quality than a DVD should have: about 4 h 8 min fit on a DVD at "
              "its usual quality.");
    EXPECT_EQ(VideoCdsMessage(3, 150 * 60), "These 3 files (2 h 30 min) need 3 Video CDs (74 minutes each).");
    EXPECT_EQ(SizeText(3'435'973'837), "3.2 GB");
    EXPECT_EQ(Duration(687), "11 min 27 s");
}

TEST(FitToDisc, TheBatchIsPlannedOnceWithItsRateItsBytesAndEachVolumesShare)
{
    const std::vector<PlannedRow> rows = {{100, "C:\\", "a.mp4"}, {300, "D:\\", "b.mp4"}, {200, "C:\\", "c.mp4"}, {50, "", "x.mp4"}};
    const BatchPlan standard = PlanBatch(rows, Target::Mpeg, Quality::Standard, FitTo{});
    EXPECT_EQ(standard.files, 4);
    EXPECT_EQ(standard.seconds, 650);
    EXPECT_EQ(standard.rowSeconds, (std::vector<std::int64_t>{100, 300, 200, 50})) << "in the queue's order";
    EXPECT_FALSE(standard.fitted) << "nothing to fit";
    EXPECT_EQ(standard.bytes, ExpectedSizeFor(100, kOutputRateKBps) + ExpectedSizeFor(300, kOutputRateKBps) +
                                  ExpectedSizeFor(200, kOutputRateKBps) + ExpectedSizeFor(50, kOutputRateKBps));
    ASSERT_EQ(standard.volumes.size(), 2u) << "a row whose volume is not asked counts in the total only";
    EXPECT_EQ(standard.volumes[0].bytes, ExpectedSizeFor(100, kOutputRateKBps) + ExpectedSizeFor(200, kOutputRateKBps));
    EXPECT_EQ(standard.volumes[0].largestInput, "c.mp4");
    EXPECT_EQ(standard.volumes[1].largestInput, "b.mp4");
    // Fitted to a DVD: the one rate the size gives, each file counted at it.
    const BatchPlan dvd = PlanBatch(rows, Target::DvdPal, Quality::Standard, FitToFromSetting("dvd"));
    ASSERT_TRUE(dvd.fitted);
    EXPECT_EQ(dvd.fitted->video, FitRate(4'700'000'000, 650, 4, Target::DvdPal, Quality::Standard).video);
    const EncodeRequest fitted{.target = Target::DvdPal, .fittedRate = dvd.fitted->video};
    EXPECT_EQ(dvd.volumes[1].bytes, ExpectedSizeFor(300, ExpectedRateKBps(fitted)));
}

TEST(FitToDisc, ThePlanTakesThePendingRowsInTheQueuesOrder)
{
    TQueue queue;
    for (const char* name : {"a.mp4", "b.mp4", "c.mp4"}) queue.Add(name, static_cast<int>(std::string(name) == "b.mp4" ? 30 : 10));
    queue.Start(0);  // a row under way is not pending
    std::vector<std::string> placed;
    const std::vector<PlannedRow> rows = PendingRows(queue, [&](int row, PlannedRow& planned) {
        placed.push_back(queue.Path(row));
        planned.volume = "C:\\";
        planned.output.path = queue.Path(row) + ".mpg";
    });
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].seconds * 100 + rows[1].seconds, 30 * 100 + 10);
    EXPECT_EQ(placed, (std::vector<std::string>{"b.mp4", "c.mp4"}));
    EXPECT_EQ(rows[1].volume, "C:\\");
    // The batch takes each row's output from the plan by the row's id.
    const BatchPlan plan = PlanBatch(rows, Target::Mpeg, Quality::Standard, FitTo{});
    ASSERT_EQ(plan.outputs.size(), 2u);
    EXPECT_EQ(plan.outputs.at(queue.IdAt(2)).path, "c.mp4.mpg");
}

TEST(AudioTracks, TheDefaultTrackFirstAndOnADvdEveryTrack)
{
    const AudioTrack surround{6, false}, surroundDefault{6, true}, stereo{2, false}, stereoDefault{2, true};
    struct Case {
        const char* what;
        std::vector<AudioTrack> audio;
        bool everyTrack;
        std::vector<int> tracks;
    } cases[] = {
        {"5.1 and the default stereo", {surround, stereoDefault}, false, {1}},
        {"both marked: the first marked", {surroundDefault, stereoDefault}, false, {0}},
        {"none marked: the first", {surround, stereo}, false, {0}},
        {"one track: the encoder's choice", {stereo}, false, {}},
        {"no audio", {}, true, {}},
        {"a DVD: the default first, then the others", {stereo, surround, stereoDefault}, true, {2, 0, 1}},
    };
    for (const Case& c : cases) {
        InputFacts facts{{1920, 1080}, 16.0 / 9, !c.audio.empty()};
        facts.audio = c.audio;
        EXPECT_EQ(AudioTracksFor(facts, c.everyTrack), c.tracks) << c.what;
    }
}

TEST(AudioTracks, MapsPickTheVideoOverStillsAndCoversAndADvdPaysForEachTrackFromItsPicture)
{
    const AudioTrack stereo{2, false}, stereoDefault{2, true};
    InputFacts two{{1920, 1080}, 16.0 / 9, true}, motionPhoto = two, threeTracks = two, silentTwoVideos{{1920, 1080}, 16.0 / 9, false};
    two.audio = {{6, false}, stereoDefault};
    motionPhoto.audio = {stereo};
    motionPhoto.videoTracks = silentTwoVideos.videoTracks = 2;
    threeTracks.audio = {stereo, stereoDefault, stereo};
    InputFacts narrowOne{{640, 480}, 4.0 / 3, true};
    narrowOne.audio = {stereo};
    const std::string dvd = " -target pal-dvd -aspect 16:9 -ac 2";
    struct Case {
        const char* what;
        EncodeRequest request;
        std::string maps;  // the line from its maps on, past the filters
    } cases[] = {
        {"the default of two tracks", {"a.mp4", "a.~00", Target::Mpeg, Quality::Standard, two},
         " -map 0:V:0 -map 0:a:1 -b 900000 -r 25 -ab 128000 -ar 44100 -ac 2 -f mpeg \"a.~00\""},
        {"a motion photo: its video, not its stills", {"a.mp4", "a.~00", Target::Mpeg, Quality::Standard, motionPhoto},
         " -map 0:V:0 -map 0:a:0 -b 900000 -r 25 -ab 128000 -ar 44100 -ac 2 -f mpeg \"a.~00\""},
        {"two pictures and no sound on a DVD: its silence mapped", {"a.mp4", "a.~00", Target::DvdPal, Quality::Standard, silentTwoVideos},
         " -map 0:V:0 -map 1:a:0" + dvd + " -shortest \"a.~00\""},
        {"three tracks on a DVD: the peak within the mux rate", {"a.mp4", "a.~00", Target::DvdPal, Quality::Standard, threeTracks},
         " -map 0:V:0 -map 0:a:1 -map 0:a:0 -map 0:a:2" + dvd + " -maxrate:v 8433600 \"a.~00\""},
        {"three tracks fitted: two more tracks paid from the picture",
         {"a.mp4", "a.~00", Target::DvdPal, Quality::Standard, threeTracks, {}, 4'000'000},
         " -map 0:V:0 -map 0:a:1 -map 0:a:0 -map 0:a:2" + dvd + " -b:v 3104000 -maxrate:v 8433600 \"a.~00\""},
        {"a joined file's part without sound: silence", {.input = "a.mp4", .written = "a.~00", .facts = silentTwoVideos, .title = TitleShape{}},
         " -map 0:V:0 -map 1:a:0 -b 900000 -r 25 -ab 128000 -ar 44100 -ac 2 -f mpeg -shortest \"a.~00\""},
        {"a joined disc's 16:9 title of two tracks: a 4:3 clip of one fitted, its second track silence",
         {.input = "a.mp4", .written = "a.~00", .target = Target::DvdPal, .facts = narrowOne, .title = TitleShape{true, 2}},
         " -map 0:V:0 -map 0:a:0 -map 1:a:0" + dvd + " -maxrate:v 8881600 -shortest \"a.~00\""},
    };
    for (const Case& c : cases) {
        const std::string line = EncodeArguments(c.request).Line();
        const std::size_t maps = line.find(" -map");
        EXPECT_EQ(maps == std::string::npos ? line : line.substr(maps), c.maps) << c.what;
    }
    // The expected size counts every track a DVD carries.
    const EncodeRequest one{"a.mp4", "a.~00", Target::DvdPal, Quality::Standard, two};
    EXPECT_NEAR(ExpectedRateKBps(cases[3].request) - ExpectedRateKBps(one), kOutputRateKBps * 448000 / 1028000, 0.01);
    const std::string photo = "Stream #0:0[0x1](und): Video: hevc (Main) (hvc1 / 0x31637668), yuv420p(tv, bt709), 1440x1080, 23 fps";
    const std::optional<InputFacts> read = ReadInputFacts(
        {photo, "Stream #0:1[0x2](und): Video: hevc (Main), yuv420p(tv, bt709), 2048x1536, 0.5 fps (default)",
         "Stream #0:2: Video: mjpeg (Baseline), yuvj420p(pc), 600x600 [SAR 1:1 DAR 1:1], 90k tbr (attached pic)"});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->videoTracks, 2) << "the cover is not counted";
    EXPECT_EQ(read->picture, (PictureSize{1440, 1080}));
}

TEST(SoundAndBars, OneGainTowardMinus23KeptUnderTheTruePeakAndTheBarsFilledOnlyWhereThereAreBars)
{
    const struct {
        LoudnessMeasure measured;
        std::optional<double> gain;
        const char* note;
    } cases[] = {
        {{-35, -20}, 12.0, "Sound raised by 12.0 dB to \u221223 LUFS."},
        {{-12, -1}, -11.0, "Sound lowered by 11.0 dB to \u221223 LUFS."},
        {{-35, -5}, 4.0, "Sound raised by 4.0 dB to \u221231 LUFS."},  // a click: the peak holds it back
        {{-23.3, -9}, std::nullopt, ""},                                  // within half a decibel
        {{-70, -90}, std::nullopt, ""},                                   // silence
    };
    for (const auto& c : cases) {
        const EvenedSound sound = EvenSound(c.measured);
        EXPECT_EQ(sound.gainDb, c.gain) << c.measured.integrated;
        EXPECT_EQ(sound.note, c.note);
    }
    const std::vector<std::string> log = {"[Parsed_ebur128_0 @ 0x1] Summary:", "", "  Integrated loudness:", "    I:         -31.4 LUFS",
                                          "  True peak:", "    Peak:       -7.9 dBFS"};
    const std::optional<LoudnessMeasure> read = ReadLoudness(log);
    ASSERT_TRUE(read);
    EXPECT_DOUBLE_EQ(read->integrated, -31.4);
    EXPECT_DOUBLE_EQ(read->truePeak, -7.9);
    EXPECT_FALSE(ReadLoudness({"Stream map '0:a:0' matches no streams."}));
    EXPECT_TRUE(NoSoundMeasured({"Stream map '0:a:0' matches no streams."}));
    EXPECT_EQ(MeasureArguments("a.mp4").Line(),
              " -hide_banner -i \"a.mp4\" -vn -sn -dn -map 0:a:0 -af aformat=channel_layouts=stereo,ebur128=peak=true -c:a pcm_s16le -f null -");
    EncodeRequest mpeg{"a.mp4", "a.~00"};
    mpeg.gainDb = -3.5;
    EXPECT_NE(EncodeArguments(mpeg).Line().find(" -af aformat=channel_layouts=stereo,volume=-3.5dB -b 900000"), std::string::npos);
    // A fitted file's first pass measures on the way; its second has the gain.
    EncodeRequest fitted{"a.mp4", "a.~00", Target::Mpeg, Quality::Standard, {}, {}, 1'200'000, 1, "log"};
    fitted.meterSound = true;
    EXPECT_EQ(EncodeArguments(fitted).ValueOf("-af"), "aformat=channel_layouts=stereo,ebur128=peak=true");
    fitted.pass = 2, fitted.gainDb = 2.0;
    EXPECT_EQ(EncodeArguments(fitted).ValueOf("-af"), "aformat=channel_layouts=stereo,volume=2.0dB");
    // An upright picture on a DVD (a 4:3 one) leaves bars to fill; a 16:9 one fills its frame itself.
    const InputFacts upright{{1080, 1920}, 9.0 / 16, true}, wide{{1920, 1080}, 16.0 / 9, true};
    for (const auto& [facts, filled] : {std::pair{upright, true}, std::pair{wide, false}}) {
        EncodeRequest dvd{"a.mp4", "a.~00", Target::DvdPal, Quality::Standard, facts};
        dvd.fill = Fill::Blur;
        const std::string vf = EncodeArguments(dvd).ValueOf("-vf");
        EXPECT_EQ(vf.find("split[fitted][bars]") != std::string::npos, filled) << vf;
        EXPECT_EQ(vf.find("[blurred][fitted]overlay=(W-w)/2:(H-h)/2,setdar=") != std::string::npos, filled) << vf;
    }
}
