// A batch's progress as the user reads it: share, time left, caption and the word at the end.
#include <gtest/gtest.h>

#include "batch/ProgressLogic.h"

using namespace batch;

TEST(BatchProgress, TheShareWeighsMediaSecondsAndTheTimeLeftTheRateOfAllEncodersTogether)
{
    struct Case {
        const char* what;
        BatchFacts facts;
        const char* caption;
    } cases[] = {
        {"nothing done yet", {10, 2, 100, 0, 0, 1, false}, "Converting 2 of 10 · 0 % · estimating…"},
        {"too early to tell", {10, 2, 100, 20, 20, 4, false}, "Converting 2 of 10 · 20 % · estimating…"},
        {"a long file half done weighs more than a short one done",
         {2, 2, 100, 55, 55, 11, false}, "Converting 2 of 2 · 55 % · less than a minute left"},
        {"two encoders at once, 30 media seconds each in a minute",
         {10, 3, 300, 60, 60, 60, false}, "Converting 3 of 10 · 20 % · about 4 min left"},
        {"a file that failed at once counts as done, not as speed",
         {4, 2, 200, 100, 0, 30, false}, "Converting 2 of 4 · 50 % · estimating…"},
        {"hours", {10, 1, 6100, 100, 100, 100, false}, "Converting 1 of 10 · 1 % · about 1 h 40 min left"},
        {"paused", {10, 3, 300, 127, 127, 60, true}, "Paused · 3 of 10 · 42 %"},
        {"the files converted, the disc being made", {2, 2, 309, 305, 305, 60, false, "Making the DVD-Video disc"},
         "Making the DVD-Video disc · 98 % · less than a minute left"},
    };
    for (const Case& c : cases) EXPECT_EQ(BatchCaption(c.facts, fw::MarksFor(true)), c.caption) << c.what;
    // Where UTF-8 is not the code page, ASCII marks.
    EXPECT_EQ(BatchCaption({10, 2, 100, 0, 0, 1, false}, fw::MarksFor(false)), "Converting 2 of 10 - 0 % - estimating...");
    EXPECT_DOUBLE_EQ(BatchFraction({2, 2, 100, 55, 55, 11, false}), 0.55);
    EXPECT_DOUBLE_EQ(*SecondsLeft({10, 3, 300, 60, 60, 60, false}), 240);
    EXPECT_FALSE(SecondsLeft({10, 3, 300, 127, 127, 60, true})) << "the time left stops while paused";
}

TEST(BatchProgress, ScreenReadersAreToldOfAFileBegunATenthDoneAndAPause)
{
    const BatchFacts told{10, 3, 300, 120, 120, 60, false};  // 40 %
    struct Case {
        BatchFacts now;
        bool worth;
    } cases[] = {
        {{10, 3, 300, 140, 140, 65, false}, false},  // 46 %, a minute less left
        {{10, 3, 300, 150, 150, 70, false}, true},   // 50 %
        {{10, 4, 300, 125, 125, 62, false}, true},   // the next file
        {{10, 3, 300, 120, 120, 60, true}, true},    // paused
    };
    for (const Case& c : cases) EXPECT_EQ(WorthAnnouncing(told, c.now), c.worth) << c.now.mediaDone;
}

TEST(BatchProgress, TheWordAtTheEndSaysWhatHappened)
{
    struct Case {
        int converted, failed;
        bool stopped;
        const char* text;
    } cases[] = {
        {10, 1, false, "10 files converted, 1 failed"},
        {1, 0, false, "1 file converted"},
        {3, 0, true, "3 files converted before the stop"},
        {0, 2, false, "No file converted, 2 failed"},
    };
    for (const Case& c : cases) EXPECT_EQ(BatchEndText(c.converted, c.failed, c.stopped), c.text);
}

TEST(BatchTally, CountsTheEndedFilesWholeTheRunningByTheirShareAndNoTimePaused)
{
    TBatchTally tally;
    tally.Begin({10, 20, 30}, 1000);
    for (int i = 0; i < 4; ++i) tally.Started();
    tally.Ended(Outcome::Converted, 10, 500);
    tally.Ended(Outcome::Failed, 20, 0);
    tally.Ended(Outcome::Stopped, 30, 0);  // back to "Pending": never started
    tally.Pause(5000);
    tally.Resume(9000);
    const BatchProgress progress = tally.Progress({{30, 0.5}}, 10000);
    EXPECT_EQ(progress.facts.files, 3);
    EXPECT_EQ(progress.facts.started, 3);
    EXPECT_DOUBLE_EQ(progress.facts.mediaTotal, 60);
    EXPECT_DOUBLE_EQ(progress.facts.mediaDone, 10 + 20 + 15);
    EXPECT_DOUBLE_EQ(progress.facts.mediaEncoded, 10 + 15) << "a failed file is done, not encoded";
    EXPECT_DOUBLE_EQ(progress.facts.runningSeconds, 5) << "4 s before the pause, 1 after it";
    EXPECT_TRUE(progress.failed);
    EXPECT_EQ(progress.filesLeft, 1);
    const BatchSummary summary = tally.End(true, false);
    EXPECT_EQ(summary.converted * 10 + summary.failed, 11);
    EXPECT_EQ(summary.bytes, 500);
    EXPECT_TRUE(summary.stopped);
}
