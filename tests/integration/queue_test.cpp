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
    form->AddQueueRow("C:\\Clips\\trip.2009.mp4", "84");
    EXPECT_EQ(Row(0), (Cells{"MP4", "trip.2009", "Pending", "", "X", "C:\\Clips\\trip.2009.mp4", "84"}));
}

TEST_F(QueueTest, RemovingRowZeroOfThreeMovesTheOthersUpInAllLists)
{
    form->AddQueueRow("C:\\a\\one.mp4", "11");
    form->AddQueueRow("C:\\b\\two.mp4", "22");
    form->AddQueueRow("C:\\c\\three.mp4", "33");
    form->DeleteQueueRow(0);
    ASSERT_EQ(form->RowCount(), 2);
    EXPECT_EQ(form->ListBox1->Count(), 2);
    EXPECT_EQ(form->ListBox2->Count(), 2);
    EXPECT_EQ(Row(0), (Cells{"MP4", "two", "Pending", "", "X", "C:\\b\\two.mp4", "22"}));
    EXPECT_EQ(Row(1), (Cells{"MP4", "three", "Pending", "", "X", "C:\\c\\three.mp4", "33"}));
}

TEST_F(QueueTest, TheSameFileMayStandTwice)
{
    form->AddQueueRow("C:\\a\\same.mp4", "5");
    form->AddQueueRow("C:\\a\\same.mp4", "5");
    EXPECT_EQ(Row(0), Row(1));
}

TEST_F(QueueTest, ListsAreNotSortedAndStateTextsAreWrittenInPlace)
{
    form->AddQueueRow("C:\\z.mp4", "9");
    form->AddQueueRow("C:\\a.mp4", "1");
    form->SetRowState(1, "37% Done");
    form->SetRowConverted(1, "MPG");
    EXPECT_EQ(Row(0), (Cells{"MP4", "z", "Pending", "", "X", "C:\\z.mp4", "9"}));
    EXPECT_EQ(Row(1), (Cells{"MP4", "a", "37% Done", "MPG", "X", "C:\\a.mp4", "1"}));
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
