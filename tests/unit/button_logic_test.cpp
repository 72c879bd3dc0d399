// The image button's choice of picture.
#include <gtest/gtest.h>

#include "framework/Scale.h"
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

TEST(ButtonShape, EveryPixelButTheKeyColourInRunsAlongEachRow)
{
    const std::uint32_t k = 0xFF00FF, o = 0x123456;
    const std::vector<std::uint32_t> pixels = {
        k, o, o, k,  //
        o, o, k, o,  //
        k, k, k, k,  //
    };
    EXPECT_EQ(OpaqueRuns(pixels, 4, 3), (std::vector<PixelRun>{{1, 3, 0}, {0, 2, 1}, {3, 4, 1}}));
    EXPECT_TRUE(OpaqueRuns({}, 0, 0).empty());
}

TEST(Scale, LengthsAndPictureSizesFollowTheDpi)
{
    struct Case {
        int dpi, length, scaled, pictures;
    } cases[] = {
        {96, 503, 503, 100}, {120, 23, 29, 150}, {119, 30, 37, 100}, {144, 23, 35, 150}, {144, 11, 17, 150},
        {168, 41, 72, 200}, {192, 479, 958, 200}, {288, 13, 39, 200}, {72, 15, 11, 100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fw::ScaleLength(c.length, c.dpi), c.scaled) << c.dpi << " " << c.length;
        EXPECT_EQ(fw::NearestPictureScale(c.dpi), c.pictures) << c.dpi;
    }
}
