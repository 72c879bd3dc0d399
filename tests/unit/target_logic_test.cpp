// What a conversion makes: targets and their settings, what the encoder says of an input, a
// picture too large for MPEG-1, and the arguments of each target.
#include <gtest/gtest.h>

#include "convert/ConvertLogic.h"
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

TEST(Targets, APictureTooLargeForMpeg1IsScaledDownToFitAndTheDefaultIsThePartsOwn)
{
    struct Case {
        PictureSize from, to;
    } cases[] = {{{7680, 4320}, {4094, 2302}}, {{4200, 2362}, {4094, 2302}}, {{4320, 7680}, {2302, 4094}},
                 {{4095, 100}, {4095, 100}}, {{1920, 1080}, {1920, 1080}}};
    for (const Case& c : cases) EXPECT_EQ(FitMpeg1(c.from), c.to) << c.from.width << "x" << c.from.height;
    EXPECT_TRUE(RefusedAsTooLarge({"[mpeg1video @ 0516f600] MPEG-1 does not support resolutions above 4095x4095"}));

    const InputFacts any{{1920, 1080}, 16.0 / 9, true};
    EXPECT_EQ(TargetArgsFor(Target::Mpeg, "a.mp4", "a.~00", any), FfmpegArgsFor("a.mp4", "a.~00"));
    EXPECT_NE(TargetArgsFor(Target::Mpeg, "a.mp4", "a.~00", any, PictureSize{4094, 2302}).find(" -vf yadif=deint=interlaced,scale=4094:2302 -b 900000"),
              std::string::npos);
    const std::string silentDvd = TargetArgsFor(Target::DvdNtsc, "a.mp4", "a.~00", {{640, 480}, 4.0 / 3, false});
    for (const char* part : {"-vf \"yadif=deint=interlaced,scale=", "anullsrc=channel_layout=stereo:sample_rate=48000", "-target ntsc-dvd", "-aspect 4:3", "-shortest"})
        EXPECT_NE(silentDvd.find(part), std::string::npos) << part;
}
