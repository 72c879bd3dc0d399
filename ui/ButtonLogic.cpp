// Which picture the image button shows for its state, and the shape it takes from it.
#include "ui/ButtonLogic.h"

ShownPicture ChoosePicture(ButtonState state, const PictureSet& has)
{
    if (state == ButtonState::Pressed && has.pressed) return ShownPicture::Pressed;
    if (state == ButtonState::Hover && has.hover) return ShownPicture::Hover;
    return has.idle ? ShownPicture::Idle : ShownPicture::None;
}

std::vector<PixelRun> OpaqueRuns(const std::vector<std::uint32_t>& pixels, int width, int height)
{
    std::vector<PixelRun> runs;
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<std::size_t>(width) * height) return runs;
    const std::uint32_t key = pixels[0];
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = &pixels[static_cast<std::size_t>(y) * width];
        for (int x = 0; x < width;) {
            if (row[x] == key) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < width && row[x] != key) ++x;
            runs.push_back({left, x, y});
        }
    }
    return runs;
}
