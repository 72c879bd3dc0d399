// Rules of a batch's progress as the user reads it: the share of the media seconds done, the
// time left at the rate of all encoders together, the caption that says so, and the word at
// the end.
#pragma once
#include <optional>
#include <string>

#include "framework/text.h"

namespace convert {

// What a batch has done so far, in seconds of media.
struct BatchFacts {
    int files = 0;            // in the batch
    int started = 0;          // of those, started or ended
    double mediaTotal = 0;    // the media seconds of all its files
    double mediaDone = 0;     // of those, done: every ended file whole, a running one by its share
    double mediaEncoded = 0;  // of those, what the encoders converted (a file that failed at once is left out)
    double runningSeconds = 0;  // wall time spent converting, pauses left out
    bool paused = false;
};

// The share done, from 0 to 1; a long file weighs more than a short one.
double BatchFraction(const BatchFacts& facts);

// Before this many seconds of converting, or before anything is converted, there is too
// little to estimate from.
inline constexpr double kEstimateAfterSeconds = 5;
// The seconds left at the media seconds converted per wall second so far, over all encoders
// together; none while there is too little to go by, or while paused.
std::optional<double> SecondsLeft(const BatchFacts& facts);

// The caption above the list while a batch runs: "Converting 3 of 10 · 42 % · about 4 min
// left", "Converting 1 of 10 · 0 % · estimating…", "Paused · 3 of 10 · 42 %".
std::string BatchCaption(const BatchFacts& facts, const fw::TextMarks& marks);
// Whether screen readers are told the caption again: a file begun, a step of ten per cent,
// a pause or a resume since it was last told; not each per cent or minute.
bool WorthAnnouncing(const BatchFacts& told, const BatchFacts& now);

// How a batch ended, for the notice: "10 files converted, 1 failed", "3 files converted
// before the stop".
std::string BatchEndText(int converted, int failed, bool stopped);

}  // namespace convert
