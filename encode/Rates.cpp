// The rates that the arguments and the fit share.
#include "encode/Rates.h"

#include <algorithm>

namespace encode {

std::int64_t ExpectedSizeFor(int mediaSeconds, double rateKBps)
{
    const long double bytes = static_cast<long double>(mediaSeconds) * rateKBps * 1024.0L;
    return static_cast<std::int64_t>(bytes);
}

int AudioRateFor(Target target, Quality quality)
{
    if (target != Target::Mpeg) return StandardOf(target).dvd ? 448000 : 224000;
    return quality == Quality::High ? 192000 : kStandardAudioRate;
}

int DvdVideoPeak(int audioTracks)
{
    const double left = kDvdMuxRate * kDvdStreamShare - double(audioTracks) * AudioRateFor(Target::DvdPal, Quality::Standard);
    return std::min(kDvdPeakVideoRate, static_cast<int>(left));
}

}  // namespace encode
