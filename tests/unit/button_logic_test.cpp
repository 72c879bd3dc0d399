// The image button's choice of picture.
#include <gtest/gtest.h>

#include "framework/Scale.h"
#include "ui/ButtonLogic.h"

TEST(ButtonPicture, ChoiceFollowsTheTable)
{
    const PictureSet all{true, true, true}, idleOnly{true, false, false};
    using enum ButtonState;
    struct Case {
        ButtonState state;
        PictureSet has;
        ShownPicture shown;
    } cases[] = {
        {Idle, all, ShownPicture::Idle},           {Hover, all, ShownPicture::Hover},
        {Pressed, all, ShownPicture::Pressed},     {PressedAway, all, ShownPicture::Idle},  // pointer off the button
        {Disabled, all, ShownPicture::Idle},       {Hover, idleOnly, ShownPicture::Idle},
        {Pressed, idleOnly, ShownPicture::Idle},   {Idle, PictureSet{}, ShownPicture::None},
    };
    for (const Case& c : cases) EXPECT_EQ(ChoosePicture(c.state, c.has), c.shown) << static_cast<int>(c.state);
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
