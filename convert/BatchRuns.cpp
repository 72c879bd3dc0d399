// TBatch: the encoder's runs for one conversion: what each run is asked, its start, and the
// second run that the input's description or a refused picture calls for; and what a click
// on the row's "Done" says of them.
#include "convert/Batch.h"

#include <algorithm>

#include "convert/Conversion.h"
#include "convert/EncoderArgs.h"
#include "convert/EncoderRun.h"
#include "convert/FitLogic.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Launcher.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "queue/Queue.h"

namespace convert {

EncodeRequest TBatch::Request(const TConversion& c) const
{
    return {fw::ExtendedPath(c.input), fw::ExtendedPath(c.written), setup_.target, setup_.quality,
            c.facts, c.scaledTo, c.fittedRate, c.pass, PassLogPath(setup_.logFolder, c.slot), c.sidecar, c.ownTrack};
}

std::optional<int> TBatch::FittedRateFrom(int row) const
{
    if (!setup_.fittedRate || setup_.fitBytes <= 0) return setup_.fittedRate;
    std::int64_t left = setup_.fitBytes - summary_.bytes, seconds = 0;
    for (const auto& c : running_)
        if (c->fittedRate) left -= FittedBytes(*c->fittedRate, c->mediaSeconds, setup_.target, setup_.quality);
    int files = 0;
    for (int pending = row; pending >= 0; pending = queue_.NextPending(pending + 1), ++files) seconds += queue_.MediaSeconds(pending);
    // Never below half the rate the batch began with, which the user agreed to.
    const int rate = FitRate(std::max<std::int64_t>(left, 0), seconds, files, setup_.target, setup_.quality).video;
    return std::max(rate, *setup_.fittedRate / 2);
}

std::int64_t TBatch::ExpectedSize(const TConversion& c) const
{
    return ExpectedSizeFor(static_cast<int>(c.mediaSeconds), ExpectedRateKBps(Request(c)));
}

std::string TBatch::Launch(TConversion& c)
{
    if (!fw::FileExists(c.input)) return kInputGone;
    if (!setup_.encoderMissing.empty()) return setup_.encoderMissing;
    const std::string args =
        (c.step == TConversion::Step::Describing ? DescribeArguments(fw::ExtendedPath(c.input)) : EncodeArguments(Request(c)))
            .Line();
    // Below normal priority: the desktop stays responsive while the encoders run. Paths
    // past MAX_PATH go in the long form Windows documents for them.
    fw::StartError error;
    // A run that starts during a pause (a retry of a row that ended meanwhile) waits with the others.
    c.process = fw::StartWithoutConsole(setup_.encoderPath, args, {c.log, true}, error, BELOW_NORMAL_PRIORITY_CLASS, Paused());
    if (c.process) return {};
    const std::string text = fw::SystemErrorText(error.code);
    return error.outputFile ? LogFailure(c.log, text) : fw::StartFailure("The encoder", error.code, text, setup_.encoderPath);
}

std::string TBatch::Relaunch(TConversion& c)
{
    fw::Application->UnwatchHandle(c.process.get());
    fw::WaitUntilReleased(c.written);  // its log was let go before it was read
    if (std::string failure = Launch(c); !failure.empty()) return failure;
    fw::Application->WatchHandle(c.process.get(), [this, id = c.id] { OnRunEnded(id); });
    return {};
}

bool TBatch::LookAtDescription(TConversion& c, const std::vector<std::string>& lines)
{
    // A run begun without the input's description gives one in its log before its first
    // frame. Where that calls for other arguments (an HDR picture), the run starts again.
    if (std::none_of(lines.begin(), lines.end(), [](const std::string& line) { return line.find("Output #0") != std::string::npos; }))
        return false;
    const std::string began = EncodeArguments(Request(c)).Line();
    c.facts = ReadInputFacts(lines).value_or(InputFacts{});
    c.expectedSize = ExpectedSize(c);  // the high quality's from its picture
    if (EncodeArguments(Request(c)).Line() == began) return false;
    if (WaitForSingleObject(c.process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(c.process.get(), 1);
        WaitForSingleObject(c.process.get(), 5000);
        fw::WaitUntilReleased(c.log);
    }
    c.failure = Relaunch(c);
    if (!c.failure.empty()) Ended(c);
    return true;
}

bool TBatch::RetryScaled(TConversion& c, const std::vector<std::string>& lines)
{
    if (c.step != TConversion::Step::Encoding || setup_.target != Target::Mpeg || !RefusedAsTooLarge(lines)) return false;
    const std::optional<InputFacts> facts = ReadInputFacts(lines);
    if (!facts) return false;
    const PictureSize fitted = FitMpeg1(facts->picture);
    if (fitted == facts->picture) return false;
    c.scaledFrom = facts->picture;
    c.scaledTo = fitted;
    c.step = TConversion::Step::RetryingScaled;
    return Relaunch(c).empty();
}

bool TBatch::RetryWithoutSubtitles(TConversion& c, const std::vector<std::string>& lines)
{
    const std::optional<SubtitleSource> source = SubtitlesOf(Request(c));
    if (!source || !SubtitlesRefused(lines)) return false;
    c.subtitlesNote = SubtitlesSkippedNote(source->from, "the encoder could not read them");
    c.sidecar.reset();
    c.ownTrack = false;
    c.step = TConversion::Step::RetryingWithoutSubtitles;
    return Relaunch(c).empty();
}

std::string TBatch::Notes(const TConversion& c, const std::string& savedNote) const
{
    std::string notes = JoinNotes(c.placeNote, c.shortNote);
    if (const std::optional<SubtitleSource> source = SubtitlesOf(Request(c))) {
        // A burn-in that drew nothing says so instead: no row reads as subtitled without them.
        const UndrawnText undrawn = UndrawnOf(LogLinesWith(c.log, "fallback"));
        if (!undrawn.noFont) notes = JoinNotes(notes, SubtitlesBurnedNote(*source));
        notes = JoinNotes(notes, UndrawnNote(undrawn));
    }
    notes = JoinNotes(notes, c.subtitlesNote);
    for (const std::string& note : ColourNotes(Request(c))) notes = JoinNotes(notes, note);
    if (c.scaledTo) notes = JoinNotes(notes, ScaledNote(*c.scaledFrom, *c.scaledTo, fw::SystemMarks()));
    return JoinNotes(notes, savedNote);
}

}  // namespace convert
