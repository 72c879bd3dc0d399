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
    // A picture is shown at its layout size: as drawn where its scale is the display's, else
    // scaled (the 150 % button, 62 px, in its 51 px place at 120 DPI).
    struct Picture {
        int length, percent, dpi, shown;
    } pictures[] = {{62, 150, 144, 62}, {65, 150, 144, 65}, {755, 150, 144, 755}, {62, 150, 120, 51},
                    {347, 150, 120, 289}, {82, 200, 168, 72},  {46, 200, 168, 40},   {41, 100, 96, 41}};
    for (const Picture& p : pictures)
        EXPECT_EQ(fw::ScaledPictureLength(p.length, p.percent, p.dpi), p.shown) << p.length << " at " << p.dpi;
}
