// Which picture the image button shows for its state.
#include "ui/ButtonLogic.h"

ShownPicture ChoosePicture(bool enabled, bool pressed, bool mouseOver, const PictureSet& has)
{
    ShownPicture normal = (!enabled && has.disabled) ? ShownPicture::Disabled : ShownPicture::Idle;
    ShownPicture chosen = normal;
    if (enabled && pressed && mouseOver && has.down)
        chosen = ShownPicture::Down;
    else if (enabled && mouseOver && !pressed && has.up)
        chosen = ShownPicture::Up;
    if (chosen == ShownPicture::Idle && !has.idle) return ShownPicture::None;
    return chosen;
}
