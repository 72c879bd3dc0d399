// Many clips, one film: a batch's files joined into one file of its target without encoding
// them again. Their length and their sound in step with the picture to the last part are
// measured by Debian's own player libraries (tests/join_readback.sh) in the files kept.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "framework/Files.h"

using namespace testing_support;

namespace {

struct JoinTest : ConvertingTest {
    // Clips of 4, 3 and 5 seconds at 25 frames a second, silent but for a beep 4 s into the last.
    void MakeClips()
    {
        for (int seconds : {4, 3, 5}) {
            const std::string sound = seconds == 5 ? "sine=f=1000:d=5,volume=enable='lt(t,4)':volume=0" : "anullsrc=r=48000:cl=stereo";
            ASSERT_EQ(RunAndWaitExit(encoder + "-f lavfi -i testsrc=size=320x240:rate=25:duration=" + std::to_string(seconds) +
                                     " -f lavfi -i " + sound + " -t " + std::to_string(seconds) + " -c:v mpeg4 -c:a aac c" +
                                     std::to_string(seconds) + ".mp4", work), 0);
        }
    }
    void QueueClips()
    {
        for (int seconds : {4, 3, 5}) QueueFile(work + "c" + std::to_string(seconds) + ".mp4", seconds);
    }
    bool PartsKept()
    {
        return fw::FileExists(work + "c4.mpg") && fw::FileExists(work + "c3.mpg") && fw::FileExists(work + "c5.mpg");
    }
};

}  // namespace

TEST_F(JoinTest, ClipsBecomeOneFileOfTheirLengthTheSoundInStepToTheLastPartAndNoPartLeft)
{
    MakeClips();
    const std::string kept = ExeFolder() + "join\\";
    RemoveTree(kept);
    CreateDirectoryA(kept.c_str(), nullptr);
    const struct {
        encode::Target target;
        const char* name;
    } cases[] = {{encode::Target::Mpeg, "Holiday"}, {encode::Target::VcdPal, "Holiday CD"}};
    for (const auto& c : cases) {
        Choose([&](batch::Choices& choices) { choices.target = c.target, choices.join = true, choices.discName = c.name; });
        QueueClips();
        ConvertAll();
        const std::string joined = work + c.name + ".mpg";
        ASSERT_TRUE(fw::FileExists(joined)) << session->Queue().Reason(0);
        EXPECT_FALSE(fw::FileExists(work + "c4.mpg") || fw::FileExists(work + "c3.mpg") || fw::FileExists(work + "c5.mpg"));
        EXPECT_EQ(session->Queue().Reason(2), "Part 3 of 3 of \"" + std::string(c.name) + ".mpg\".");
        ASSERT_TRUE(MoveFileA(joined.c_str(), (kept + c.name + ".mpg").c_str()));
        session->Queue().RemoveFinished();
    }
    // Still a Video CD's stream: its pictures and sound, and its packs of 2324 bytes.
    EXPECT_EQ(Facts(kept + "Holiday CD.mpg"), "Version 1|352x288|4:3|25.000|44100|2");
}

TEST_F(JoinTest, AStopDuringTheJoinKeepsThePartsAndLeavesNothingUnderItsName)
{
    MakeClips();
    Choose([](batch::Choices& choices) { choices.join = true, choices.discName = "Stopped"; });
    QueueClips();
    session->Start();
    PumpUntil([&] { return session->Batch().Making() || !Converting(); }, 120000);
    ASSERT_TRUE(session->Batch().Making());
    session->Batch().PauseOrResume();
    EXPECT_TRUE(session->Batch().Making()) << "the join is made without a pause";
    session->Batch().StopNow();
    PumpUntil([&] { return !Converting(); }, 10000);
    EXPECT_TRUE(PartsKept());
    for (const char* left : {"Stopped.mpg", "Stopped.~00"}) EXPECT_FALSE(fw::FileExists(work + left)) << left;
    EXPECT_FALSE(fw::FileExists(session->Folders().temp + "mervane-join-" + std::to_string(GetCurrentProcessId()) + ".txt"));
}

TEST_F(JoinTest, AJoinedDiscIsOneTitleInTheShapeOfMostOfItsTimeWithAChapterForEachClip)
{
    // 4 s wide in English and French, 3 s narrow, 5 s wide with one track: one 16:9 title of
    // two tracks, the last clip's second one silence.
    const struct {
        const char* name;
        const char* size;
        int seconds;
        const char* tracks;
    } clips[] = {{"w4", "640x360", 4, "-f lavfi -i sine=d=4 -map 0 -map 1 -map 2 -metadata:s:a:0 language=eng -metadata:s:a:1 language=fre"},
                 {"n3", "320x240", 3, "-map 0 -map 1"}, {"w5", "640x360", 5, "-map 0 -map 1"}};
    for (const auto& c : clips) {
        const std::string seconds = std::to_string(c.seconds);
        ASSERT_EQ(RunAndWaitExit(encoder + "-f lavfi -i testsrc=size=" + c.size + ":rate=25:duration=" + seconds + " -f lavfi -i sine=f=800:d=" +
                                 seconds + " " + c.tracks + " -c:v mpeg4 -c:a aac " + c.name + ".mp4", work), 0);
        QueueFile(work + c.name + ".mp4", c.seconds);
    }
    Choose([](batch::Choices& choices) {
        choices.target = encode::Target::DvdPal, choices.disc = disc::Disc::DvdVideo, choices.join = true, choices.discName = "Joined";
    });
    ConvertAll();
    EXPECT_EQ(session->Queue().Reason(2), "Chapter 3 of the DVD-Video disc \"Joined\" (Joined.iso and its folder).");
    EXPECT_TRUE(fw::FileExists(work + "Joined\\VIDEO_TS\\VTS_01_1.VOB"));
    EXPECT_FALSE(fw::FileExists(work + "Joined\\VIDEO_TS\\VTS_02_1.VOB")) << "one title set";
    const std::string kept = ExeFolder() + "join\\Joined";
    RemoveTree(kept + "\\");
    ASSERT_TRUE(MoveFileA((work + "Joined").c_str(), kept.c_str()));
}
