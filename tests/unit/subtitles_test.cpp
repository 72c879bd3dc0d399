// Subtitles: which file or track a row burns in, how the filter is told, how a file's bytes
// are read, and what the encoder's log says no font drew.
#include <gtest/gtest.h>

#include "encode/EncoderArgs.h"
#include "encode/Subtitles.h"

using namespace encode;

TEST(Subtitles, TheFileBesideTheVideoInTheUsersLanguageThenThePlainOneThenTheFirst)
{
    const std::vector<std::string> german{"de", "deu", "ger"};
    struct Case {
        std::vector<std::string> names;
        const char* chosen;  // none: ""
    } cases[] = {
        {{"clip.mp4", "clip.srt"}, "clip.srt"},
        {{"Clip.SSA"}, "Clip.SSA"},
        {{"clip.en.srt", "clip.srt", "clip.ger.srt"}, "clip.ger.srt"},
        {{"clip.en.srt", "clip.srt"}, "clip.srt"},
        {{"clip.fr.ass", "clip.en.srt"}, "clip.en.srt"},
        {{"clip.pt-br.srt"}, "clip.pt-br.srt"},
        {{"clip2.srt", "clip.txt", "clip.english.srt", "clips.srt", "clip.mp4.srt"}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(SidecarFor("clip.mp4", c.names, german).value_or(""), c.chosen) << c.names[0];
    EXPECT_EQ(LanguageNames("fr", "fra"), (std::vector<std::string>{"fr", "fra", "fre"}));
    EXPECT_FALSE(SubtitlesFromSetting("off"));
    EXPECT_TRUE(SubtitlesFromSetting("nonsense"));

    // The input's own track: forced first, then default, never one only there.
    InputFacts facts;
    facts.text = {{false, false}, {true, false}, {false, true}};
    EXPECT_EQ(TextTrackFor(facts), 2);
    facts.text.pop_back();
    EXPECT_EQ(TextTrackFor(facts), 1);
    facts.text.pop_back();
    EXPECT_EQ(TextTrackFor(facts), -1);
    EncodeRequest request{.input = "C:\\in.mp4", .facts = facts, .ownTrack = true};
    request.facts->text = {{true, false}};
    EXPECT_NE(EncodeArguments(request).ValueOf("-vf").find("subtitles=filename=C\\\\:/in.mp4:stream_index=0"), std::string::npos);
    request.ownTrack = false;
    EXPECT_EQ(EncodeArguments(request).ValueOf("-vf").find("subtitles"), std::string::npos) << "off: as without subtitles";
}

TEST(Subtitles, TheFilterIsDrawnOnTheOutputPictureWithAnyPathEscaped)
{
    EXPECT_EQ(FilterValue("C:/O'Brien/[a], b;c\\x"), "C\\\\:/O\\\\\\'Brien/\\[a\\]\\, b\\;c\\\\\\\\x");
    EncodeRequest request{.input = "\\\\?\\C:\\in.mp4", .target = Target::DvdPal,
                          .facts = InputFacts{{1280, 720}, 16.0 / 9, true}, .sidecar = SubtitleSource{"C:\\t\\s_1.srt", -1, false, "clip.srt"}};
    const std::string dvd = EncodeArguments(request).ValueOf("-vf");
    EXPECT_NE(dvd.find(",subtitles=filename=C\\\\:/t/s_1.srt:original_size=1024x576:fontsdir=fonts:"
                       "force_style=FontName=DejaVu Sans\\,Encoding=-1,setparams="),
              std::string::npos)
        << "after the box, before the marks, round once stretched: " << dvd;
    request.target = Target::Mpeg;
    request.sidecar->styled = true;
    EXPECT_TRUE(EncodeArguments(request).ValueOf("-vf").ends_with(",subtitles=filename=C\\\\:/t/s_1.srt:fontsdir=fonts"));
}

TEST(Subtitles, UtfSixteenWithoutItsMarkIsReadAndWhatNoFontDrewIsNamed)
{
    // The code pages' table runs through the system's conversion (target_test); here what it leaves out.
    EXPECT_EQ(EncodingOf(std::string("1\0\n\0", 4)), TextEncoding::Utf16Le) << "UTF-16 without its mark";
    EXPECT_EQ(Utf8Of(std::string("\xFE\xFF\xD8\x3D\xDE\x00", 6), TextEncoding::Utf16Be), "\xF0\x9F\x98\x80") << "a pair";
    EXPECT_EQ(UnusableSubtitles(std::string("a\0b", 3), false), "it is not text");
    EXPECT_EQ(UnusableSubtitles("[Events]\n", true), "it holds no line with a time");

    const UndrawnText undrawn = UndrawnOf({"[Parsed_subtitles_1 @ 0x1] fontselect: failed to find any fallback with glyph 0x30A2 for font: (DejaVu Sans, 400, 0)",
                                           "[Parsed_subtitles_1 @ 0x1] fontselect: failed to find any fallback with glyph 0x30A2 for font: (DejaVu Sans, 400, 0)"});
    EXPECT_EQ(UndrawnNote(undrawn), "No font had these characters of the subtitles, so they are missing from the picture: \xE3\x82\xA2 (U+30A2).");
    EXPECT_TRUE(UndrawnOf({"fontselect: failed to find any fallback with glyph 0x0 for font: (Arial, 400, 0)"}).noFont);
}
