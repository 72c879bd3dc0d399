// The image button's choice of picture.
#include <gtest/gtest.h>

#include "ui/ButtonLogic.h"

TEST(ButtonPicture, ChoiceFollowsTheTable)
{
    const PictureSet all{true, true, true, true};
    const PictureSet idleOnly{true, false, false, false};
    const PictureSet noDisabled{true, true, true, false};
    struct Case {
        bool enabled, pressed, over;
        PictureSet has;
        ShownPicture shown;
    } cases[] = {
        {true, false, false, all, ShownPicture::Idle},
        {true, false, true, all, ShownPicture::Up},
        {true, true, true, all, ShownPicture::Down},
        {true, true, false, all, ShownPicture::Idle},  // held down, pointer off the button
        {true, false, true, idleOnly, ShownPicture::Idle},
        {true, true, true, idleOnly, ShownPicture::Idle},
        {false, true, true, all, ShownPicture::Disabled},
        {false, false, true, noDisabled, ShownPicture::Idle},
        {true, false, false, PictureSet{}, ShownPicture::None},
        {false, false, false, PictureSet{false, false, false, true}, ShownPicture::Disabled},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChoosePicture(c.enabled, c.pressed, c.over, c.has), c.shown)
            << c.enabled << c.pressed << c.over;
}
