// What the convert button makes: each target's streams from real clips, an input too large for
// MPEG-1 scaled to fit, and a converted file from an earlier run replaced, kept or skipped.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "framework/Files.h"

using namespace testing_support;
using queue::RowState;

namespace {

struct TargetTest : ConvertingTest {
    void ConvertAll()
    {
        session->Start();
        PumpUntil([&] { return !Converting(); }, 120000);
    }
    // "Version|WxH|DAR|fps|audio rate|channels" of a converted file, as the media tool reads it.
    static std::string Facts(const std::string& file)
    {
        const std::string tool = "\"" + PayloadFolder() + "mediainfo.exe\" ";
        return fw::Trim(RunAndCapture(tool + "\"--Inform=Video;%Format_Version%|%Width%x%Height%|%DisplayAspectRatio/String%|%FrameRate%|\" \"" + file + "\"")) +
               fw::Trim(RunAndCapture(tool + "\"--Inform=Audio;%SamplingRate%|%Channel(s)%\" \"" + file + "\""));
    }
};

}  // namespace

TEST_F(TargetTest, EachTargetMeetsItsStandardAndNeverStretchesThePicture)
{
    MakeClip(work + "wide.mp4", 1, "320x180");
    // A 4:3 clip without sound, where a disc's standard needs a silent track.
    ASSERT_EQ(RunAndWaitExit("\"" + PayloadFolder() + "ffmpeg.exe\" -v error -y -f lavfi -i testsrc=size=160x120:rate=25 -t 1 "
                             "-pix_fmt yuv420p \"" + work + "square.mp4\""), 0);
    struct Case {
        convert::Target target;
        const char* wide;    // the facts of the 16:9 clip's output
        const char* square;  // and of the 4:3 clip's
    } cases[] = {
        {convert::Target::Mpeg, "Version 1|320x180|16:9|25.000|44100|2", "Version 1|160x120|4:3|25.000|"},
        {convert::Target::VcdPal, "Version 1|352x288|4:3|25.000|44100|2", "Version 1|352x288|4:3|25.000|44100|2"},
        {convert::Target::VcdNtsc, "Version 1|352x240|4:3|29.970|44100|2", "Version 1|352x240|4:3|29.970|44100|2"},
        {convert::Target::DvdPal, "Version 2|720x576|16:9|25.000|48000|2", "Version 2|720x576|4:3|25.000|48000|2"},
        {convert::Target::DvdNtsc, "Version 2|720x480|16:9|29.970|48000|2", "Version 2|720x480|4:3|29.970|48000|2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(convert::TargetSetting(c.target));
        session->ChooseTarget(c.target);
        std::string stored;
        EXPECT_TRUE(ReadSetting("Target", stored) && stored == convert::TargetSetting(c.target));
        QueueFile(work + "wide.mp4", 2);
        QueueFile(work + "square.mp4", 2);
        ConvertAll();
        ASSERT_EQ(session->Queue().State(0), RowState::Done) << session->Queue().Reason(0);
        ASSERT_EQ(session->Queue().State(1), RowState::Done) << session->Queue().Reason(1);
        EXPECT_EQ(Facts(work + "\\wide.mpg"), c.wide);
        EXPECT_EQ(Facts(work + "\\square.mpg"), c.square);
        session->RemoveFinished();
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

TEST_F(TargetTest, AConvertedFileFromAnEarlierRunIsReplacedKeptOrSkipped)
{
    UseFakeEncoder(work);
    session->ChooseOutputFolder(work.substr(0, work.size() - 1));  // as the folder picker gives it
    WriteFile(work + "a.mp4", "write 100\nfinish\n");
    struct Case {
        convert::IfExists choice;
        RowState state;
        const char* output;       // the row's file
        const char* earlierFile;  // what a.mpg holds afterwards
    } cases[] = {
        {convert::IfExists::Replace, RowState::Done, "a.mpg", "new"},
        {convert::IfExists::Keep, RowState::Done, "a (2).mpg", "earlier"},
        {convert::IfExists::Skip, RowState::Skipped, "a.mpg", "earlier"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(convert::IfExistsSetting(c.choice));
        WriteFile(work + "a.mpg", "earlier");
        DeleteFileA((work + "a (2).mpg").c_str());
        session->ChooseIfExists(c.choice);
        QueueFile(work + "a.mp4", 1);
        ConvertAll();
        EXPECT_EQ(session->Queue().State(0), c.state) << session->Queue().Reason(0);
        EXPECT_EQ(session->Queue().Output(0), work + c.output);
        const std::string earlier = ReadFile(work + "a.mpg");
        EXPECT_EQ(earlier == "earlier" ? "earlier" : "new", std::string(c.earlierFile));
        EXPECT_EQ(session->OutputFolderOf(0), work) << "its link opens the folder of the file";
        session->RemoveFinished();
    }
}
