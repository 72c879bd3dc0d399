// The queue as a model: its rows, their states and texts, the news of each change, the lock.
#include <gtest/gtest.h>

#include "queue/Queue.h"

namespace {

struct QueueTest : ::testing::Test {
    TQueue queue;
    std::vector<std::string> news;  // "added 0", "removed 2", "state 1 Done"...
    int unfinishedChanges = 0;
    void SetUp() override
    {
        queue.OnRowChange = [this](TQueue::Change change, int row) {
            const char* what[] = {"added ", "removed ", "state "};
            std::string line = what[static_cast<int>(change)] + std::to_string(row);
            if (change == TQueue::Change::State) line += " " + queue.StateText(row);
            news.push_back(line);
        };
        queue.OnChange = [this] { ++unfinishedChanges; };
    }
    using Lines = std::vector<std::string>;
};

}  // namespace

TEST_F(QueueTest, EachStateShowsItsTextAndTellsTheViewInPlace)
{
    for (const char* name : {"C:\\z.mp4", "C:\\a.mp4", "C:\\b.mp4", "C:\\c.mp4"}) queue.Add(name, 9);
    EXPECT_EQ(news, (Lines{"added 0", "added 1", "added 2", "added 3"}));
    news.clear();
    queue.Start(1);
    EXPECT_EQ(queue.StateText(1), "Pending") << "a conversion shows nothing before it is measured";
    queue.ShowProgress(1, 43477, 117504);
    queue.ShowPaused(1);
    queue.ShowPaused(1);  // said once
    queue.Finish(2, "D:\\b.mpg");
    queue.Fail(3, "why");
    EXPECT_EQ(news, (Lines{"state 1 Pending", "state 1 37% Done", "state 1 37% (paused)", "state 1 37% (paused)",
                           "state 2 Done", "state 3 Failed"}));
    EXPECT_EQ(queue.Output(2), "D:\\b.mpg");
    EXPECT_EQ(queue.NextPending(), 0);
    EXPECT_EQ(queue.NextPending(1), -1) << "only a row that waits is pending";
    EXPECT_EQ(queue.RowsIn(queue::RowState::Done), std::vector<int>{2});
    EXPECT_EQ(queue.Unfinished(), (std::vector<queue::SavedRow>{{"C:\\z.mp4", 9}, {"C:\\a.mp4", 9}, {"C:\\c.mp4", 9}}));
}

TEST_F(QueueTest, RemovingRowsBottomUpKeepsEachRowsOwnFacts)
{
    for (const char* name : {"C:\\0.mp4", "C:\\1.mp4", "C:\\2.mp4", "C:\\3.mp4", "C:\\4.mp4"}) queue.Add(name, 5);
    queue.Fail(3, "why");
    const int id = queue.IdAt(4);
    news.clear();
    EXPECT_TRUE(queue.RemoveRows({2, 0, 2, 7}));  // repeated and missing rows are passed by
    EXPECT_EQ(news, (Lines{"removed 2", "removed 0"}));
    ASSERT_EQ(queue.Count(), 3);
    EXPECT_EQ(queue.Path(0), "C:\\1.mp4");
    EXPECT_EQ(queue.Reason(1), "why") << "the reason moves up with its row";
    EXPECT_EQ(queue.IndexOf(id), 2);
    EXPECT_TRUE(queue.Retry(1));
    EXPECT_EQ(queue.State(1), queue::RowState::Pending);
    EXPECT_EQ(queue.Reason(1), "");
    EXPECT_FALSE(queue.Retry(0)) << "only a failed row is retried";
}

TEST_F(QueueTest, ALockedQueueTakesNoChangeButItsRowsStillProgress)
{
    queue.Add("C:\\a.mp4", 5);
    queue.Add("C:\\a.mp4", 5);  // the same file may stand twice
    queue.Fail(1, "why");
    queue.Lock(true);
    const int before = unfinishedChanges;
    EXPECT_FALSE(queue.Add("C:\\b.mp4", 5));
    EXPECT_FALSE(queue.RemoveRows({0}));
    EXPECT_FALSE(queue.Retry(1));
    EXPECT_EQ(queue.Count(), 2);
    EXPECT_EQ(unfinishedChanges, before);
    queue.Finish(0, "D:\\a.mpg");
    EXPECT_EQ(unfinishedChanges, before + 1) << "a done row is no longer kept against a crash";
}
