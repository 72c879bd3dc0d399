// Which picture the image button shows for its state, and the shape it takes from it.
#pragma once
#include <cstdint>
#include <vector>

enum class ShownPicture { None, Idle, Down, Up, Disabled };

struct PictureSet {
    bool idle = false, down = false, up = false, disabled = false;  // which pictures hold a graphic
};

// Pressed and hovered shows Down, hovered shows Up (each if it holds a graphic), anything
// else the normal picture: Idle while enabled, else Disabled if it holds one. None when the
// picture so chosen is empty.
ShownPicture ChoosePicture(bool enabled, bool pressed, bool mouseOver, const PictureSet& has);

// A run of pixels of one row: x from `left` to `right` (exclusive), at `y`.
struct PixelRun {
    int left, right, y;
    bool operator==(const PixelRun&) const = default;
};
// The shape of a picture: every pixel whose colour differs from the key colour (that of the
// top-left pixel), as runs along each row, top to bottom. `pixels` holds `width` * `height`
// colours, row after row from the top.
std::vector<PixelRun> OpaqueRuns(const std::vector<std::uint32_t>& pixels, int width, int height);
