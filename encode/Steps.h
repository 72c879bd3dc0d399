// The steps of one file's conversion, and what follows each run of the encoder.
#pragma once

namespace encode {

// Where a file is. A batch fitted to a size encodes each file in two passes, any other in one.
enum class Step {
    Describing,  // a disc's standard needs the picture's shape and whether there is sound:
                 // the encoder describes the input first
    Measuring,   // the sound evened out: the encoder measures its loudness first
    Pass1,       // the encoder measures the picture for the second pass
    Pass2,       // and writes the file at the rate that fits
    Encoding,    // one pass
    Saving,      // the encoder has ended for good: what it wrote is saved or removed
};

// How a run of the encoder ended, as far as the next step depends on it.
struct RunEnd {
    bool stopped = false;           // by "stop now"
    bool failed = false;
    bool scalable = false;          // refused a picture larger than MPEG-1 holds, not yet scaled
    bool subtitlesRefused = false;  // could not read the subtitles it was given
};

// A run of the same step again, changed so that the encoder takes it.
enum class Retry { None, Scaled, WithoutSubtitles };

struct NextStep {
    Step step = Step::Saving;
    Retry retry = Retry::None;
    bool operator==(const NextStep&) const = default;
};

// The step a file starts in; `measure`: its sound is measured before it is encoded.
Step FirstStep(bool describeFirst, bool fitted, bool measure = false);
// The step after a run of the encoder in `step`. A measure that failed is passed by.
NextStep AfterRun(Step step, bool fitted, const RunEnd& end, bool measure = false);
// The pass the encoder is told: 1 or 2, or 0 for a file encoded once.
int PassOf(Step step);

}  // namespace encode
