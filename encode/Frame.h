// The picture in a disc's frame: fitted to it, and the bars around it black or filled with
// the picture itself, blurred.
#pragma once
#include <string>

#include "encode/TargetLogic.h"

namespace encode {

// The filters that put a picture of `facts` into the frame of `disc`, shown 16:9 (`wide`) or
// 4:3: fitted, its colours recoded from BT.709's matrix to BT.601's where `toBt601`, and boxed
// with black bars; with `blurBars`, where it leaves bars, they are filled with the picture
// itself scaled down to cover a fifteenth of the frame (which blurs it), darkened and scaled
// back up under it.
std::string FrameFilter(const DiscStandard& disc, bool wide, const InputFacts& facts, bool toBt601, bool blurBars);

}  // namespace encode
