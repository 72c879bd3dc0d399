// The queue's three lists stay in step.
#include <gtest/gtest.h>

#include "form_fixture.h"

namespace {

struct QueueTest : FormTest {
    void SetUp() override { StartForm(); }
    std::vector<std::string> Row(int i)
    {
        std::vector<std::string> cells;
        for (int c = 0; c < 5; ++c) cells.push_back(form->ListView1->CellText(i, c));
        cells.push_back(form->ListBox1->Item(i));
        cells.push_back(form->ListBox2->Item(i));
        return cells;
    }
};

using Cells = std::vector<std::string>;

}  // namespace

TEST_F(QueueTest, AddedRowShowsItsNameAndKeepsPathAndDuration)
{
    form->Queue->Add("C:\\Clips\\trip.2009.mp4", "84");
    EXPECT_EQ(Row(0), (Cells{"MP4", "trip.2009", "Pending", "", "X", "C:\\Clips\\trip.2009.mp4", "84"}));
}

TEST_F(QueueTest, RemovingRowZeroOfThreeMovesTheOthersUpInAllLists)
{
    form->Queue->Add("C:\\a\\one.mp4", "11");
    form->Queue->Add("C:\\b\\two.mp4", "22");
    form->Queue->Add("C:\\c\\three.mp4", "33");
    form->Queue->Remove(0);
    ASSERT_EQ(form->Queue->Count(), 2);
    EXPECT_EQ(form->ListBox1->Count(), 2);
    EXPECT_EQ(form->ListBox2->Count(), 2);
    EXPECT_EQ(Row(0), (Cells{"MP4", "two", "Pending", "", "X", "C:\\b\\two.mp4", "22"}));
    EXPECT_EQ(Row(1), (Cells{"MP4", "three", "Pending", "", "X", "C:\\c\\three.mp4", "33"}));
}

TEST_F(QueueTest, TheSameFileMayStandTwice)
{
    form->Queue->Add("C:\\a\\same.mp4", "5");
    form->Queue->Add("C:\\a\\same.mp4", "5");
    EXPECT_EQ(Row(0), Row(1));
}

TEST_F(QueueTest, ListsAreNotSortedAndEachStateShowsItsTextInPlace)
{
    TQueue& queue = *form->Queue;
    for (const char* name : {"C:\\z.mp4", "C:\\a.mp4", "C:\\b.mp4", "C:\\c.mp4"}) queue.Add(name, "9");
    queue.Start(1);
    EXPECT_EQ(Row(1)[2], "Pending") << "a conversion shows nothing before it is measured";
    queue.ShowProgress(1, 43477, 117504);
    queue.Finish(2, "D:\\b.mpg");
    queue.Fail(3, "why");
    EXPECT_EQ(Row(0), (Cells{"MP4", "z", "Pending", "", "X", "C:\\z.mp4", "9"}));
    EXPECT_EQ(Row(1), (Cells{"MP4", "a", "37% Done", "", "X", "C:\\a.mp4", "9"}));
    EXPECT_EQ(Row(2), (Cells{"MP4", "b", "Done", "MPG", "X", "C:\\b.mp4", "9"}));
    EXPECT_EQ(Row(3), (Cells{"MP4", "c", "Failed", "", "X", "C:\\c.mp4", "9"}));
    EXPECT_EQ(queue.Reason(3), "why");
    EXPECT_EQ(queue.NextPending(), 0);
    EXPECT_EQ(queue.NextPending(1), -1) << "only a row that waits is pending";
    queue.Remove(0);
    EXPECT_EQ(queue.Reason(2), "why") << "the reason moves up with its row";
}

TEST_F(QueueTest, HiddenStorageLiesRightOfTheVisibleArea)
{
    for (fw::TWinControl* control : std::initializer_list<fw::TWinControl*>{form->Edit4, form->Memo3, form->ListBox1,
                                                                           form->ListBox2})
        EXPECT_GE(control->Left(), 544);
    RECT client{};
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 503);
    EXPECT_EQ(client.bottom, 479);
}
