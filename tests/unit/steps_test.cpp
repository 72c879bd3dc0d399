// The steps of a file's conversion: what follows each run of the encoder.
#include <gtest/gtest.h>

#include "encode/Steps.h"

using namespace encode;

TEST(Steps, EachRunIsFollowedByTheStepItsEndCallsFor)
{
    const RunEnd ok{}, failed{.failed = true}, stopped{.stopped = true};
    const RunEnd tooLarge{.failed = true, .scalable = true}, unreadable{.failed = true, .subtitlesRefused = true};
    const RunEnd both{.failed = true, .scalable = true, .subtitlesRefused = true};
    const struct {
        const char* what;
        Step step;
        bool fitted;
        RunEnd end;
        NextStep next;
    } cases[] = {
        {"a description: the encoding", Step::Describing, false, failed, {Step::Encoding}},
        {"a fitted file's description: its first pass", Step::Describing, true, ok, {Step::Pass1}},
        {"a first pass: the second", Step::Pass1, true, ok, {Step::Pass2}},
        {"a second pass: saved", Step::Pass2, true, ok, {Step::Saving}},
        {"a second pass refusing the rate: one pass at it", Step::Pass2, true, failed, {Step::Encoding}},
        {"one pass: saved", Step::Encoding, false, ok, {Step::Saving}},
        {"a failure: saved as failed", Step::Encoding, false, failed, {Step::Saving}},
        {"a failed first pass: no second", Step::Pass1, true, failed, {Step::Saving}},
        {"a picture too large: again, scaled", Step::Encoding, false, tooLarge, {Step::Encoding, Retry::Scaled}},
        {"a first pass too large: that pass again", Step::Pass1, true, tooLarge, {Step::Pass1, Retry::Scaled}},
        {"subtitles unread: again without", Step::Encoding, false, unreadable, {Step::Encoding, Retry::WithoutSubtitles}},
        {"both: the scaling first", Step::Encoding, false, both, {Step::Encoding, Retry::Scaled}},
        {"stopped: saved, never again", Step::Pass1, true, {.stopped = true, .scalable = true}, {Step::Saving}},
        {"a stopped description", Step::Describing, false, stopped, {Step::Saving}},
        {"a measure, failed or not: the encoding", Step::Measuring, true, failed, {Step::Pass1}},
    };
    for (const auto& c : cases) EXPECT_EQ(AfterRun(c.step, c.fitted, c.end), c.next) << c.what;
    EXPECT_EQ(AfterRun(Step::Describing, false, ok, true), NextStep{Step::Measuring}) << "the sound measured after the description";
}

TEST(Steps, AFileStartsWithItsDescriptionOrItsFirstPass)
{
    EXPECT_EQ(FirstStep(true, true), Step::Describing);
    EXPECT_EQ(FirstStep(false, true), Step::Pass1);
    EXPECT_EQ(FirstStep(false, false), Step::Encoding);
    EXPECT_EQ(FirstStep(false, false, true), Step::Measuring);
    EXPECT_EQ(PassOf(Step::Pass1) * 10 + PassOf(Step::Pass2), 12);
    EXPECT_EQ(PassOf(Step::Encoding), 0);
}
