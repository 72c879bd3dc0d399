// The rates that the encoder's arguments and a batch's fit both read: the standard line's,
// the sound's, the peaks a player keeps to, and the least a picture should have.
#pragma once
#include <cstdint>

#include "encode/TargetLogic.h"

namespace encode {

// The standard MPEG line: 900 kbit/s of picture, 128 of sound; what it writes a second, in
// the measure the progress uses.
inline constexpr int kStandardVideoRate = 900'000, kStandardAudioRate = 128'000;
inline constexpr double kOutputRateKBps = 114.75;

// The expected output size in bytes for an input of that many media seconds:
// seconds * 114.75 * 1024, truncated.
std::int64_t ExpectedSizeFor(int mediaSeconds, double rateKBps);

// The audio's bits a second: MP2 at 128 or, under the high quality, 192 kbit/s; a Video CD's
// 224 and a DVD's AC-3 at 448.
int AudioRateFor(Target target, Quality quality);

// The high quality's peak on MPEG: MPEG-2's main level, which set-top players keep to.
inline constexpr int kHighRateMost = 15'000'000;

inline constexpr int kMpegFloorRate = 500'000, kDvdFloorRate = 2'000'000;  // watchable, at the least
inline constexpr int kDvdPeakVideoRate = 9'000'000;

// The most a DVD's picture may take at its peak beside that many tracks, within the disc's
// mux rate less its packs' share.
inline constexpr int kDvdMuxRate = 10'080'000;
inline constexpr double kDvdStreamShare = 0.97;
int DvdVideoPeak(int audioTracks);

}  // namespace encode
