// The picture in a disc's frame: fitted to it, and the bars around it black or filled with
// the picture itself, blurred.
#include "encode/Frame.h"

#include <cmath>

namespace encode {

namespace {

// The picture scaled to fit the disc's frame shown at `shown` ("16/9", "4/3"), its colours
// recoded from BT.709's matrix to BT.601's where `toBt601`.
std::string FitFilter(const DiscStandard& disc, const std::string& shown, bool toBt601)
{
    const std::string w = std::to_string(disc.width), h = std::to_string(disc.height);
    return "scale=w='if(gt(dar," + shown + ")," + w + ",2*trunc(" + w + "*dar/(" + shown + ")/2))'" +
           ":h='if(gt(dar," + shown + "),2*trunc(" + h + "*(" + shown + ")/dar/2)," + h + ")'" +
           (toBt601 ? ":in_color_matrix=bt709:out_color_matrix=bt601" : "");
}

// The picture letterboxed or pillarboxed into the disc's frame.
std::string BoxFilter(const DiscStandard& disc, const std::string& shown, bool toBt601)
{
    return FitFilter(disc, shown, toBt601) + ",pad=" + std::to_string(disc.width) + ":" + std::to_string(disc.height) +
           ":(ow-iw)/2:(oh-ih)/2,setdar=" + shown;
}

// The bars filled: the picture fitted once, then its copy scaled down to cover a fifteenth of
// the frame (which blurs it, at next to no cost), darkened, and scaled back up under it.
std::string BlurFillFilter(const DiscStandard& disc, const std::string& shown, bool toBt601)
{
    const std::string w = std::to_string(disc.width / 15), h = std::to_string(disc.height / 16);
    return FitFilter(disc, shown, toBt601) + ",split[fitted][bars];[bars]scale=" + w + ":" + h +
           ":force_original_aspect_ratio=increase:flags=area,crop=" + w + ":" + h +
           ",lutyuv=y=16+(val-16)*0.45:u=128+(val-128)*0.7:v=128+(val-128)*0.7,scale=" + std::to_string(disc.width) + ":" +
           std::to_string(disc.height) + ":flags=bicubic[blurred];[blurred][fitted]overlay=(W-w)/2:(H-h)/2,setdar=" + shown;
}

// Whether a picture of that shape leaves bars in a frame shown at `shown`.
bool LeavesBars(const InputFacts& facts, double shown)
{
    return facts.displayAspect > 0 && std::fabs(facts.displayAspect - shown) > shown * 0.01;
}

}  // namespace

std::string FrameFilter(const DiscStandard& disc, bool wide, const InputFacts& facts, bool toBt601, bool blurBars)
{
    const std::string shown = wide ? "16/9" : "4/3";
    if (blurBars && LeavesBars(facts, wide ? 16.0 / 9 : 4.0 / 3)) return BlurFillFilter(disc, shown, toBt601);
    return BoxFilter(disc, shown, toBt601);
}

}  // namespace encode
