// The steps of one file's conversion.
#include "encode/Steps.h"

namespace encode {

namespace {

Step FirstEncoding(bool fitted)
{
    return fitted ? Step::Pass1 : Step::Encoding;
}

}  // namespace

Step FirstStep(bool describeFirst, bool fitted, bool measure)
{
    return describeFirst ? Step::Describing : measure ? Step::Measuring : FirstEncoding(fitted);
}

NextStep AfterRun(Step step, bool fitted, const RunEnd& end, bool measure)
{
    if (end.stopped || step == Step::Saving) return {Step::Saving};
    // A description or a measure leaves no file: whatever it found, the encoding follows.
    if (step == Step::Describing) return {measure ? Step::Measuring : FirstEncoding(fitted)};
    if (step == Step::Measuring) return {FirstEncoding(fitted)};
    if (step == Step::Pass1 && !end.failed) return {Step::Pass2};
    // Where the second pass refuses the rate (the encoder finds it too low for the picture),
    // the file is encoded once at that rate instead.
    if (step == Step::Pass2 && end.failed) return {Step::Encoding};
    if (end.failed && end.scalable) return {step, Retry::Scaled};
    if (end.failed && end.subtitlesRefused) return {step, Retry::WithoutSubtitles};
    return {Step::Saving};
}

int PassOf(Step step)
{
    return step == Step::Pass1 ? 1 : step == Step::Pass2 ? 2 : 0;
}

}  // namespace encode
