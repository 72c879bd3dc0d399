// TConversion's runs of the encoder: what each run is asked, its start, what it is watched
// for, the step its end calls for and the save after the last.
#include "convert/Conversion.h"

#include <algorithm>
#include <tuple>

#include "convert/EncoderArgs.h"
#include "convert/EncoderLog.h"
#include "convert/EncoderRun.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Launcher.h"
#include "framework/advantmr.h"
#include "framework/Unicode.h"

namespace convert {

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

TConversion::TConversion(const BatchSetup& setup, std::shared_ptr<TOutputClaims> claims, Tell tell)
    : setup_(setup), claims_(std::move(claims)), tell_(std::move(tell))
{
}

TConversion::~TConversion()
{
    if (process) fw::Application->UnwatchHandle(process.get());
    if (saver) fw::Application->UnwatchHandle(saver->Thread());
    if (timer) timer->Release();
}

std::string TConversion::Start(bool paused)
{
    paused_ = paused;
    if (std::string failure = Launch(); !failure.empty()) return failure;
    timer = fw::Create<TAdvancedTimer>(nullptr);
    timer->SetBuddy(written);
    timer->SetInterval(500);
    timer->SetEnabled(true);
    timer->SetOnTimer([this](fw::TComponent*) { OnTick(); });
    // The encoder's end is taken up at once instead of at the next tick.
    fw::Application->WatchHandle(process.get(), [this] { OnRunEnded(); });
    return {};
}

std::string TConversion::Launch()
{
    if (!fw::FileExists(input)) return kInputGone;
    if (!setup_.encoderMissing.empty()) return setup_.encoderMissing;
    const std::string args =
        (step == Step::Describing ? DescribeArguments(fw::ExtendedPath(input)) : EncodeArguments(Request(setup_))).Line();
    // Below normal priority: the desktop stays responsive while the encoders run. Paths
    // past MAX_PATH go in the long form Windows documents for them.
    fw::StartError error;
    // A run that starts during a pause (a retry of a row that ended meanwhile) waits with the others.
    process = fw::StartWithoutConsole(setup_.encoderPath, args, {log, true}, error, BELOW_NORMAL_PRIORITY_CLASS, paused_);
    if (process) return {};
    const std::string text = fw::SystemErrorText(error.code);
    return error.outputFile ? LogFailure(log, text) : fw::StartFailure("The encoder", error.code, text, setup_.encoderPath);
}

std::string TConversion::Relaunch()
{
    fw::Application->UnwatchHandle(process.get());
    fw::WaitUntilReleased(written);  // its log was let go before it was read
    if (std::string failure = Launch(); !failure.empty()) return failure;
    fw::Application->WatchHandle(process.get(), [this] { OnRunEnded(); });
    return {};
}

bool TConversion::LookAtDescription(const std::vector<std::string>& lines)
{
    // A run begun without the input's description gives one in its log before its first
    // frame. Where that calls for other arguments (an HDR picture), the run starts again.
    if (std::none_of(lines.begin(), lines.end(), [](const std::string& line) { return line.find("Output #0") != std::string::npos; }))
        return false;
    const std::string began = EncodeArguments(Request(setup_)).Line();
    facts = ReadInputFacts(lines).value_or(InputFacts{});
    expectedSize = ExpectedSize(setup_);  // the high quality's from its picture
    if (EncodeArguments(Request(setup_)).Line() == began) return false;
    if (WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
        fw::WaitUntilReleased(log);
    }
    failure = Relaunch();
    if (!failure.empty()) Save();
    return true;
}

void TConversion::OnTick()
{
    if (step == Step::Saving) {
        if (saver->Ended()) tell_(*this, News::Ended);  // a save that ran without a thread of its own
        return;
    }
    // The end first: a size measured after it is final. An end put off by a pause is
    // taken up here once the batch goes on.
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return OnRunEnded();
    if (paused_) return;  // its row shows where it stopped
    if (!facts && LookAtDescription(LogTail(log))) return;
    if (const std::optional<std::int64_t> size = MeasureOutput(written)) {
        // Growing: the file is not finished while its encoder still runs.
        lastSize = *size;
        tell_(*this, News::Measured);
    }
}

void TConversion::OnRunEnded()
{
    if (step == Step::Saving) return;
    fw::Application->UnwatchHandle(process.get());
    if (step == Step::Describing && paused_) return;  // the conversion starts once the batch goes on
    fw::WaitUntilReleased(log);  // Wine signals an ended process before it lets go of its files
    const std::vector<std::string> lines = LogTail(log);
    RunEnd end{.stopped = stopped};
    std::optional<std::pair<PictureSize, PictureSize>> refused;
    std::optional<SubtitleSource> subtitles;  // what the run was given to draw
    if (step == Step::Describing) {
        facts = ReadInputFacts(lines);
        expectedSize = ExpectedSize(setup_);  // at the rates the description gives
    } else {
        if (!facts && !stopped && LookAtDescription(lines)) return;  // a run too short for a tick to look
        lastSize = MeasureOutput(written).value_or(0);
        failure = EndedRunFailure(process.get(), lines, written, input, output, lastSize);
        subtitles = SubtitlesOf(Request(setup_));
        end.failed = !failure.empty();
        if (end.failed) refused = RefusedPicture(*this, setup_.choices.target, lines);
        end.scalable = refused.has_value();
        end.subtitlesRefused = end.failed && subtitles && SubtitlesRefused(lines);
    }
    const NextStep next = AfterRun(step, fittedRate.has_value(), end);
    if (next.step == Step::Saving) {
        if (!end.failed && !stopped) LookAtReadThrough(*this, lines);
        return Save();
    }
    if (next.retry == Retry::Scaled) std::tie(scaledFrom, scaledTo) = *refused;
    if (next.retry == Retry::WithoutSubtitles) {
        subtitlesNote = SubtitlesSkippedNote(subtitles->from, "the encoder could not read them");
        sidecar.reset();
        ownTrack = false;
    }
    if (next.step != step) lastSize = 0;  // the progress counts the next pass from its start
    step = next.step;
    failure = Relaunch();
    if (!failure.empty()) Save();
}

void TConversion::Save()
{
    fw::Application->UnwatchHandle(process.get());
    step = Step::Saving;
    SaveJob job;
    job.written = written;
    job.output = output;
    job.input = input;
    job.keep = failure.empty() && !stopped;
    job.replace = mayReplace;
    job.claims = claims_;
    saver = std::make_unique<TSaver>(std::move(job));
    if (HANDLE thread = saver->Thread()) fw::Application->WatchHandle(thread, [this] { tell_(*this, News::Ended); });
}

void TConversion::StopNow()
{
    if (step == Step::Saving) return;  // a file already being saved is finished and kept
    TerminateProcess(process.get(), 1);
    stopped = true;
    Save();
}

void TConversion::Pause(bool paused)
{
    paused_ = paused;
    if (step != Step::Saving) fw::SuspendProcess(process.get(), paused);
}

void TConversion::Abandon()
{
    fw::Application->UnwatchHandle(process.get());
    if (saver) fw::Application->UnwatchHandle(saver->Thread());
    TerminateProcess(process.get(), 1);
    saver.reset();  // a finished file being saved is saved
    WaitForSingleObject(process.get(), 5000);
    fw::WaitUntilReleased(written);
    DeleteFileW(fw::WidePath(written).c_str());
}

}  // namespace convert
