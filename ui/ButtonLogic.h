// Which picture the image button shows for its state, and the shape it takes from it.
#pragma once
#include <cstdint>
#include <vector>

// The button's one state. The focus is the system's, and shown over any of them.
enum class ButtonState {
    Idle,
    Hover,
    Pressed,      // by the mouse over the button, or by the space bar
    PressedAway,  // the mouse holds the button, the pointer is elsewhere
    Disabled,
};

enum class ShownPicture { None, Idle, Hover, Pressed };

// Which pictures hold a graphic.
struct PictureSet {
    bool idle = false, hover = false, pressed = false;
};

// Hover and Pressed show their own picture when it holds a graphic, every other state the
// idle one. None when the picture so chosen is empty.
ShownPicture ChoosePicture(ButtonState state, const PictureSet& has);

// A run of pixels of one row: x from `left` to `right` (exclusive), at `y`.
struct PixelRun {
    int left, right, y;
    bool operator==(const PixelRun&) const = default;
};
// The shape of a picture: every pixel whose colour differs from the key colour (that of the
// top-left pixel), as runs along each row, top to bottom. `pixels` holds `width` * `height`
// colours, row after row from the top.
std::vector<PixelRun> OpaqueRuns(const std::vector<std::uint32_t>& pixels, int width, int height);
