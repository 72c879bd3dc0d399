// What a conversion makes: targets and their settings, what the encoder says of an input, a
// picture too large for MPEG-1, and the arguments of each target.
#include <gtest/gtest.h>

#include "convert/ConvertLogic.h"
#include "convert/EncoderArgs.h"
#include "convert/TargetLogic.h"

using namespace convert;

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
    } cases[] = {
        {"wide, with sound", {video + "1920x1080 [SAR 1:1 DAR 16:9], 25 fps", audio}, {1920, 1080}, 16.0 / 9, true},
        {"anamorphic, silent", {video + "720x576 [SAR 16:15 DAR 4:3], 25 fps"}, {720, 576}, 4.0 / 3, false},
        {"a phone held upright", {video + "3840x2160, 30 fps", "      rotate          : 90", audio}, {2160, 3840}, 9.0 / 16, true},
    };
    for (const Case& c : cases) {
        const std::optional<InputFacts> facts = ReadInputFacts(c.lines);
        ASSERT_TRUE(facts) << c.what;
        EXPECT_EQ(facts->picture, c.picture) << c.what;
        EXPECT_NEAR(facts->displayAspect, c.aspect, 0.001) << c.what;
        EXPECT_EQ(facts->hasAudio, c.audio) << c.what;
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

TEST(EncoderArguments, EachTargetsLineAndTheDefaultIsTheProgramsOwnByteForByte)
{
    const std::string box169 = "scale=w='if(gt(dar,16/9),720,2*trunc(720*dar/(16/9)/2))':h='if(gt(dar,16/9),"
                               "2*trunc(576*(16/9)/dar/2),576)',pad=720:576:(ow-iw)/2:(oh-ih)/2,setdar=16/9";
    const std::string box43 = "scale=w='if(gt(dar,4/3),352,2*trunc(352*dar/(4/3)/2))':h='if(gt(dar,4/3),"
                              "2*trunc(240*(4/3)/dar/2),240)',pad=352:240:(ow-iw)/2:(oh-ih)/2,setdar=4/3";
    const InputFacts wide{{1920, 1080}, 16.0 / 9, true}, squareSilent{{640, 480}, 4.0 / 3, false};
    struct Case {
        EncodeRequest request;
        std::string line;
    } cases[] = {
        {{"C:\\clips\\a.mp4", "D:\\out\\a.~00"},
         " -i \"C:\\clips\\a.mp4\" -y -vf yadif=deint=interlaced -b 900000 -r 25 -ab 128000 -ar 44100 -ac 2 -f mpeg "
         "\"D:\\out\\a.~00\""},
        {{"a.mp4", "a.~00", Target::Mpeg, wide, PictureSize{4094, 2302}},
         " -i \"a.mp4\" -y -vf yadif=deint=interlaced,scale=4094:2302 -b 900000 -r 25 -ab 128000 -ar 44100 -ac 2 -f mpeg "
         "\"a.~00\""},
        {{"a.mp4", "a.~00", Target::DvdPal, wide},
         " -i \"a.mp4\" -y -vf \"yadif=deint=interlaced," + box169 + "\" -target pal-dvd -aspect 16:9 -ac 2 \"a.~00\""},
        {{"a.mp4", "a.~00", Target::VcdNtsc, squareSilent},
         " -i \"a.mp4\" -f lavfi -i anullsrc=channel_layout=stereo:sample_rate=44100 -y -vf \"yadif=deint=interlaced," +
             box43 + "\" -target ntsc-vcd -aspect 4:3 -ac 2 -shortest \"a.~00\""},
    };
    for (const Case& c : cases) EXPECT_EQ(EncodeArguments(c.request).Line(), c.line);
    EXPECT_EQ(DescribeArguments("\\\\?\\C:\\a b.mp4").Line(), " -hide_banner -i \"\\\\?\\C:\\a b.mp4\"");
    // Quoted once, as the C runtime reads it back: a quote escaped, the backslashes before it
    // and before the closing quote doubled.
    EXPECT_EQ(TArguments().Add({"say \"hi\"", "x"}).AddPath("C:\\dir\\").Line(), " \"say \\\"hi\\\"\" x \"C:\\dir\\\\\"");
}
