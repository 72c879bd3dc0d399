// TConversion's runs of the encoder: what each run is asked, its start, what it is watched
// for, the step its end calls for and the save after the last.
#include "batch/Conversion.h"

#include <algorithm>
#include <tuple>

#include "encode/EncoderArgs.h"
#include "encode/EncoderLog.h"
#include "encode/EncoderRun.h"
#include "batch/SlotFiles.h"
#include "encode/SubtitleFile.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Launcher.h"
#include "framework/advantmr.h"
#include "framework/Unicode.h"

namespace batch {

namespace {

// The picture the encoder refused as larger than MPEG-1 holds, and the size that fits;
// none for any other refusal, or a picture already scaled.
std::optional<std::pair<encode::PictureSize, encode::PictureSize>> RefusedPicture(bool scaled, encode::Target target, const std::vector<std::string>& lines)
{
    if (scaled || target != encode::Target::Mpeg || !encode::RefusedAsTooLarge(lines)) return std::nullopt;
    const std::optional<encode::InputFacts> described = encode::ReadInputFacts(lines);
    if (!described) return std::nullopt;
    const encode::PictureSize fitted = encode::FitMpeg1(described->picture);
    if (fitted == described->picture) return std::nullopt;
    return std::pair{described->picture, fitted};
}

}  // namespace

TConversion::TConversion(const BatchSetup& setup, const ConversionStart& start, std::shared_ptr<TOutputClaims> claims, Tell tell)
    : setup_(setup), claims_(std::move(claims)), tell_(std::move(tell)), start_(start),
      // A fitted file's sound is measured in its first pass, any other's in a run of its own.
      step_(encode::FirstStep(encode::DescribeFirst(setup.choices.target), start.fittedRate.has_value(),
                              setup.choices.loudness == encode::Loudness::Even && !start.fittedRate)),
      log_(LogPath(setup.logFolder, start_.file.slot))
{
    start_.file.expectedSize = Expected();
}

TConversion::~TConversion()
{
    if (process_) fw::Application->UnwatchHandle(process_.get());
    if (timer_) timer_->Release();
}

std::string TConversion::Start(bool paused)
{
    paused_ = paused;
    if (setup_.choices.subtitles) {
        encode::SidecarSubtitles found = encode::PrepareSidecar(start_.file.input, SubtitlesCopyPath(setup_.logFolder, start_.file.slot));
        sidecar_ = std::move(found.source);
        subtitlesNote_ = std::move(found.skippedNote);
        ownTrack_ = true;  // where no file is beside it
    }
    if (std::string failure = Launch(); !failure.empty()) return failure;
    timer_ = fw::Create<TAdvancedTimer>(nullptr);
    timer_->SetBuddy(start_.file.written);
    timer_->SetInterval(500);
    timer_->SetEnabled(true);
    timer_->SetOnTimer([this](fw::TComponent*) { OnTick(); });
    // The encoder's end is taken up at once instead of at the next tick.
    fw::Application->WatchHandle(process_.get(), [this] { OnRunEnded(); });
    return {};
}

std::string TConversion::Launch()
{
    if (!fw::FileExists(start_.file.input)) return encode::kInputGone;
    if (!setup_.encoderMissing.empty()) return setup_.encoderMissing;
    const std::string input = fw::ExtendedPath(start_.file.input);
    const std::string args = (step_ == encode::Step::Describing  ? encode::DescribeArguments(input)
                              : step_ == encode::Step::Measuring ? encode::MeasureArguments(input)
                                                                 : encode::EncodeArguments(Request()))
                                 .Line();
    // Below normal priority: the desktop stays responsive while the encoders run. Paths
    // past MAX_PATH go in the long form Windows documents for them.
    fw::StartError error;
    // A run that starts during a pause (a retry of a row that ended meanwhile) waits with the others.
    process_ = fw::StartWithoutConsole(setup_.encoderPath, args, {log_, true}, error, BELOW_NORMAL_PRIORITY_CLASS, paused_);
    if (process_) return {};
    const std::string text = fw::SystemErrorText(error.code);
    return error.outputFile ? LogFailure(log_, text) : fw::StartFailure("The encoder", error.code, text, setup_.encoderPath);
}

void TConversion::Relaunch(encode::Step step)
{
    fw::Application->UnwatchHandle(process_.get());
    fw::WaitUntilReleased(start_.file.written);  // its log was let go before it was read
    if (step != step_) lastSize_ = 0;      // the progress counts the next pass from its start
    step_ = step;
    failure_ = Launch();
    if (!failure_.empty()) return Save();
    fw::Application->WatchHandle(process_.get(), [this] { OnRunEnded(); });
}

bool TConversion::LookAtDescription(const std::vector<std::string>& lines)
{
    // A run begun without the input's description gives one in its log before its first
    // frame. Where that calls for other arguments (an HDR picture), the run starts again.
    if (std::none_of(lines.begin(), lines.end(), [](const std::string& line) { return line.find("Output #0") != std::string::npos; }))
        return false;
    const std::string began = encode::EncodeArguments(Request()).Line();
    facts_ = encode::ReadInputFacts(lines).value_or(encode::InputFacts{});
    start_.file.expectedSize = Expected();  // the high quality's from its picture
    if (encode::EncodeArguments(Request()).Line() == began) return false;
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
        fw::WaitUntilReleased(log_);
    }
    Relaunch(step_);
    return true;
}

// The encoder ends as if whole where its input stopped short (a pulled card, a file half
// copied): a read error fails the row, so that an earlier output stays; an early end is noted.
void TConversion::LookAtReadThrough(const std::vector<std::string>& logLines)
{
    encode::ReadThrough read = encode::ReadThroughOf(encode::LogHead(log_), logLines);
    read.probed = std::max(0.0, start_.file.mediaSeconds - 1);  // a row's seconds are the whole ones and one more
    const encode::ShortRead cut = encode::ShortReadOf(read);
    failure_ = cut.failure;
    shortNote_ = cut.note;
    frames_ = read.frames.value_or(0);
}

void TConversion::OnTick()
{
    if (step_ == encode::Step::Saving) return;  // its end is told by the saver
    // The end first: a size measured after it is final. An end put off by a pause is
    // taken up here once the batch goes on.
    if (WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0) return OnRunEnded();
    if (paused_) return;  // its row shows where it stopped
    if (!facts_ && step_ != encode::Step::Measuring && LookAtDescription(encode::LogTail(log_))) return;
    if (const std::optional<std::int64_t> size = encode::MeasureOutput(start_.file.written)) {
        // Growing: the file is not finished while its encoder still runs.
        lastSize_ = *size;
        tell_(*this, News::Measured);
    }
}

void TConversion::OnRunEnded()
{
    if (step_ == encode::Step::Saving) return;
    fw::Application->UnwatchHandle(process_.get());
    // A description or a measure ended during a pause: the conversion starts once the batch goes on.
    if ((step_ == encode::Step::Describing || step_ == encode::Step::Measuring) && paused_) return;
    fw::WaitUntilReleased(log_);  // Wine signals an ended process before it lets go of its files
    const std::vector<std::string> lines = encode::LogTail(log_);
    encode::RunEnd end{.stopped = stopped_};
    std::optional<std::pair<encode::PictureSize, encode::PictureSize>> refused;
    std::optional<encode::SubtitleSource> subtitles;  // what the run was given to draw
    if (step_ == encode::Step::Describing) {
        facts_ = encode::ReadInputFacts(lines);
        start_.file.expectedSize = Expected();  // at the rates the description gives
    } else if (step_ != encode::Step::Measuring) {
        if (!facts_ && !stopped_ && LookAtDescription(lines)) return;  // a run too short for a tick to look
        lastSize_ = encode::MeasureOutput(start_.file.written).value_or(0);
        failure_ = encode::EndedRunFailure(process_.get(), lines, start_.file.written, start_.file.input, start_.file.output, lastSize_);
        subtitles = encode::SubtitlesOf(Request());
        end.failed = !failure_.empty();
        if (end.failed) refused = RefusedPicture(scaledTo_.has_value(), setup_.choices.target, lines);
        end.scalable = refused.has_value();
        end.subtitlesRefused = end.failed && subtitles && encode::SubtitlesRefused(lines);
    }
    if (step_ == encode::Step::Measuring || (step_ == encode::Step::Pass1 && Request().meterSound && facts_ && facts_->hasAudio))
        sound_ = encode::MeasuredSound(lines);  // its own run, or a fitted file's first pass on the way
    const bool measure = setup_.choices.loudness == encode::Loudness::Even && !start_.fittedRate && (!facts_ || facts_->hasAudio);
    const encode::NextStep next = encode::AfterRun(step_, start_.fittedRate.has_value(), end, measure);
    if (next.step == encode::Step::Saving) {
        if (!end.failed && !stopped_) LookAtReadThrough(lines);
        return Save();
    }
    if (next.retry == encode::Retry::Scaled) std::tie(scaledFrom_, scaledTo_) = *refused;
    if (next.retry == encode::Retry::WithoutSubtitles) {
        subtitlesNote_ = encode::SubtitlesSkippedNote(subtitles->from, "the encoder could not read them");
        sidecar_.reset();
        ownTrack_ = false;
    }
    Relaunch(next.step);
}

void TConversion::Save()
{
    fw::Application->UnwatchHandle(process_.get());
    step_ = encode::Step::Saving;
    SaveJob job;
    job.written = start_.file.written;
    job.output = start_.file.output;
    job.input = start_.file.input;
    job.keep = failure_.empty() && !stopped_;
    job.replace = start_.mayReplace;
    job.claims = claims_;
    saver_ = std::make_unique<TSaver>(std::move(job), [this] { tell_(*this, News::Ended); });
}

void TConversion::StopNow()
{
    if (step_ == encode::Step::Saving) return;  // a file already being saved is finished and kept
    TerminateProcess(process_.get(), 1);
    stopped_ = true;
    Save();
}

void TConversion::Pause(bool paused)
{
    paused_ = paused;
    if (step_ != encode::Step::Saving) fw::SuspendProcess(process_.get(), paused);
}

void TConversion::Abandon()
{
    fw::Application->UnwatchHandle(process_.get());
    TerminateProcess(process_.get(), 1);
    saver_.reset();  // a finished file being saved is saved, and tells nobody
    WaitForSingleObject(process_.get(), 5000);
    fw::WaitUntilReleased(start_.file.written);
    DeleteFileW(fw::WidePath(start_.file.written).c_str());
}

}  // namespace batch
