// TBatch: the encoder's runs for one conversion: what each run is asked, its start, what it
// is watched for, the step its end calls for and the save after the last; and what a click
// on the row's "Done" says of them.
#include "convert/Batch.h"

#include <algorithm>

#include "convert/Conversion.h"
#include "convert/EncoderArgs.h"
#include "convert/EncoderLog.h"
#include "convert/EncoderRun.h"
#include "convert/FitLogic.h"
#include "convert/SlotFiles.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Launcher.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "queue/Queue.h"

namespace convert {

std::optional<int> TBatch::NextFittedRate() const
{
    if (!setup_.plan.fitted) return std::nullopt;
    const Choices& choices = setup_.choices;
    std::int64_t left = setup_.plan.room - tally_.Bytes(), seconds = 0;
    for (const auto& c : running_)
        if (c->fittedRate) left -= FittedBytes(*c->fittedRate, c->mediaSeconds, choices.target, choices.quality);
    // The planned rows start in their order: those before this one have started.
    const std::vector<std::int64_t>& rows = setup_.plan.rowSeconds;
    const std::size_t next = std::min<std::size_t>(rows.size(), tally_.StartedFiles());
    for (std::size_t i = next; i < rows.size(); ++i) seconds += rows[i];
    const int files = static_cast<int>(rows.size() - next);
    // Never below half the rate the batch began with, which the user agreed to.
    const int rate = FitRate(std::max<std::int64_t>(left, 0), seconds, files, choices.target, choices.quality).video;
    return std::max(rate, setup_.plan.fitted->video / 2);
}

std::string TBatch::Launch(TConversion& c)
{
    if (!fw::FileExists(c.input)) return kInputGone;
    if (!setup_.encoderMissing.empty()) return setup_.encoderMissing;
    const std::string args =
        (c.step == Step::Describing ? DescribeArguments(fw::ExtendedPath(c.input)) : EncodeArguments(c.Request(setup_)))
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
    const std::string began = EncodeArguments(c.Request(setup_)).Line();
    c.facts = ReadInputFacts(lines).value_or(InputFacts{});
    c.expectedSize = c.ExpectedSize(setup_);  // the high quality's from its picture
    if (EncodeArguments(c.Request(setup_)).Line() == began) return false;
    if (WaitForSingleObject(c.process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(c.process.get(), 1);
        WaitForSingleObject(c.process.get(), 5000);
        fw::WaitUntilReleased(c.log);
    }
    c.failure = Relaunch(c);
    if (!c.failure.empty()) Ended(c);
    return true;
}

void TBatch::OnTick(int id)
{
    TConversion* c = Find(id);
    if (!c) return;
    if (c->step == Step::Saving) {
        if (c->saver->Ended()) OnSaveEnded(id);  // a save that ran without a thread of its own
        return;
    }
    // The end first: a size measured after it is final. An end put off by a pause is
    // taken up here once the batch goes on.
    if (WaitForSingleObject(c->process.get(), 0) == WAIT_OBJECT_0) return OnRunEnded(id);
    if (Paused()) return;  // its row shows where it stopped
    if (!c->facts && LookAtDescription(*c, LogTail(c->log))) return;
    if (const std::optional<std::int64_t> size = MeasureOutput(c->written)) {
        // Growing: the file is not finished while its encoder still runs.
        c->lastSize = *size;
        fw::Guarded([&] { queue_.ShowProgress(queue_.IndexOf(c->id), c->DoneBytes(), c->expectedSize); });
        ShowProgress();
    }
}

namespace {

// The encoder ends as if whole where its input stopped short (a pulled card, a file half
// copied): a read error fails the row, so that an earlier output stays; an early end is noted.
void LookAtReadThrough(TConversion& c, const std::vector<std::string>& logLines)
{
    ReadThrough read = ReadThroughOf(LogHead(c.log), logLines);
    read.probed = std::max(0.0, c.mediaSeconds - 1);  // a row's seconds are the whole ones and one more
    const ShortRead cut = ShortReadOf(read);
    c.failure = cut.failure;
    c.shortNote = cut.note;
}

// The picture the encoder refused as larger than MPEG-1 holds, and the size that fits;
// none for any other refusal, or a picture already scaled.
std::optional<std::pair<PictureSize, PictureSize>> RefusedPicture(const TConversion& c, Target target,
                                                                  const std::vector<std::string>& lines)
{
    if (c.scaledTo || target != Target::Mpeg || !RefusedAsTooLarge(lines)) return std::nullopt;
    const std::optional<InputFacts> facts = ReadInputFacts(lines);
    if (!facts) return std::nullopt;
    const PictureSize fitted = FitMpeg1(facts->picture);
    if (fitted == facts->picture) return std::nullopt;
    return std::pair{facts->picture, fitted};
}

}  // namespace

void TBatch::OnRunEnded(int id)
{
    TConversion* found = Find(id);
    if (!found || found->step == Step::Saving) return;
    TConversion& c = *found;
    fw::Application->UnwatchHandle(c.process.get());
    if (c.step == Step::Describing && Paused()) return;  // the conversion starts once the batch goes on
    fw::WaitUntilReleased(c.log);  // Wine signals an ended process before it lets go of its files
    const std::vector<std::string> lines = LogTail(c.log);
    RunEnd end{.stopped = c.stopped};
    std::optional<std::pair<PictureSize, PictureSize>> refused;
    std::optional<SubtitleSource> subtitles;  // what the run was given to draw
    if (c.step == Step::Describing) {
        c.facts = ReadInputFacts(lines);
        c.expectedSize = c.ExpectedSize(setup_);  // at the rates the description gives
    } else {
        if (!c.facts && !c.stopped && LookAtDescription(c, lines)) return;  // a run too short for a tick to look
        c.lastSize = MeasureOutput(c.written).value_or(0);
        c.failure = EndedRunFailure(c.process.get(), lines, c.written, c.input, c.output, c.lastSize);
        subtitles = SubtitlesOf(c.Request(setup_));
        end.failed = !c.failure.empty();
        if (end.failed) refused = RefusedPicture(c, setup_.choices.target, lines);
        end.scalable = refused.has_value();
        end.subtitlesRefused = end.failed && subtitles && SubtitlesRefused(lines);
    }
    const NextStep next = AfterRun(c.step, c.fittedRate.has_value(), end);
    if (next.step == Step::Saving) {
        if (!end.failed && !c.stopped) LookAtReadThrough(c, lines);
        return Ended(c);
    }
    if (next.retry == Retry::Scaled) std::tie(c.scaledFrom, c.scaledTo) = *refused;
    if (next.retry == Retry::WithoutSubtitles) {
        c.subtitlesNote = SubtitlesSkippedNote(subtitles->from, "the encoder could not read them");
        c.sidecar.reset();
        c.ownTrack = false;
    }
    if (next.step != c.step) c.lastSize = 0;  // the progress counts the next pass from its start
    c.step = next.step;
    c.failure = Relaunch(c);
    if (!c.failure.empty()) Ended(c);
}

void TBatch::Ended(TConversion& c)
{
    fw::Application->UnwatchHandle(c.process.get());
    c.step = Step::Saving;
    SaveJob job;
    job.written = c.written;
    job.output = c.output;
    job.input = c.input;
    job.keep = c.failure.empty() && !c.stopped;
    job.replace = c.mayReplace;
    job.claims = claims_;
    c.saver = std::make_unique<TSaver>(std::move(job));
    if (HANDLE thread = c.saver->Thread()) fw::Application->WatchHandle(thread, [this, id = c.id] { OnSaveEnded(id); });
}

void TBatch::OnSaveEnded(int id)
{
    if (TConversion* c = Find(id)) Finish(*c);
}

}  // namespace convert
