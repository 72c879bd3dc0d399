// Which picture the image button shows for its state.
#pragma once

enum class ShownPicture { None, Idle, Down, Up, Disabled };

struct PictureSet {
    bool idle = false, down = false, up = false, disabled = false;  // which pictures hold a graphic
};

// Pressed and hovered shows Down, hovered shows Up (each if it holds a graphic), anything
// else the normal picture: Idle while enabled, else Disabled if it holds one. None when the
// picture so chosen is empty.
ShownPicture ChoosePicture(bool enabled, bool pressed, bool mouseOver, const PictureSet& has);
