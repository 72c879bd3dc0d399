// TBatch's state and what it tells: its beginning and end, pause, resume and stop, its
// progress in media seconds, and the rate of the next file of a fitted batch.
#include "convert/Batch.h"

#include <algorithm>

#include "convert/Conversion.h"
#include "convert/DiscMaker.h"
#include "convert/FitLogic.h"
#include "convert/Outputs.h"
#include "convert/WritingList.h"
#include "queue/Queue.h"

namespace convert {

void TBatch::Pause()
{
    if (state_ != State::Running) return;
    for (const auto& c : running_) c->Pause(true);
    state_ = State::Paused;
    tally_.Pause(GetTickCount());
    for (const auto& c : running_) queue_.ShowPaused(queue_.IndexOf(c->File().id));
    SetThreadExecutionState(ES_CONTINUOUS);  // the system may sleep again
    ShowProgress();
}

void TBatch::Resume()
{
    if (state_ != State::Paused) return;
    for (const auto& c : running_) c->Pause(false);
    state_ = State::Running;
    tally_.Resume(GetTickCount());
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    ShowProgress();
    FillSlots();  // the slots that emptied meanwhile
}

namespace {

// The disc a batch makes of its files, where one is chosen.
std::unique_ptr<TDiscMaker> DiscFor(const BatchSetup& setup, TWritingList* writing)
{
    const Choices& choices = setup.choices;
    if (!MakesDisc(choices.disc, choices.target)) return nullptr;
    return std::make_unique<TDiscMaker>(DiscJob{.tool = setup.discTool,
                                                .folder = setup.outputFolder,
                                                .name = choices.discName,
                                                .pal = choices.target == Target::DvdPal,
                                                .ifExists = choices.ifExists,
                                                .workFolder = setup.logFolder,
                                                .writing = writing});
}

}  // namespace

void TBatch::Start(const BatchSetup& setup)
{
    if (Running() || queue_.NextPending() < 0) return;
    setup_ = setup;
    setup_.encoders = std::clamp(setup.encoders, 1, kMostEncoders);
    outputs_ = std::make_unique<TOutputs>(setup_);
    if (!writing_ && !setup_.listFolder.empty()) writing_ = std::make_unique<TWritingList>(setup_.listFolder);
    state_ = State::Running;
    queue_.Lock(true);
    disc_ = DiscFor(setup_, writing_.get());
    if (disc_) {
        disc_->OnProgress = [this] { ShowProgress(); };
        // Each row's stream is gone into the disc: its row names the disc.
        disc_->OnEnd = [this](const DiscResult& result) {
            const BatchSummary so = tally_.End(false, false);
            tally_.DiscEnded(result.made ? DiscMadeText(result.name, so.converted + so.failed - disc_->Titles())
                                         : DiscNotMadeText(result.failure));
            const std::vector<int> rows = disc_->TitleOrder();
            for (std::size_t n = 0; result.made && n < rows.size(); ++n)
                queue_.Finish(rows[n], result.folder, TitleNote(static_cast<int>(n) + 1, result.name));
            End();
        };
    }
    tally_.Begin(std::vector<double>(setup_.plan.rowSeconds.begin(), setup_.plan.rowSeconds.end()), GetTickCount(),
                 disc_ ? kDiscShare * static_cast<double>(setup_.plan.seconds) : 0);
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);  // no sleep; the display may turn off
    ShowProgress();
    FillSlots();
}

void TBatch::End(bool abandoned)
{
    if (state_ == State::Idle) return;
    if (disc_ && !abandoned && state_ == State::Running && disc_->Titles() > 0) {  // its files are converted
        state_ = State::Making;
        tally_.Making();
        disc_->Start();
        return ShowProgress();
    }
    if (disc_ && !abandoned && state_ != State::Making)
        tally_.DiscEnded(DiscNotMadeText(state_ == State::Stopping ? "the batch was stopped" : "no file was converted"));
    const BatchSummary summary = tally_.End(state_ == State::Stopping, abandoned);
    state_ = State::Idle;
    queue_.Lock(false);
    SetThreadExecutionState(ES_CONTINUOUS);
    if (OnEnd) OnEnd(summary);
}

std::optional<int> TBatch::NextFittedRate() const
{
    if (!setup_.plan.fitted) return std::nullopt;
    const Choices& choices = setup_.choices;
    std::int64_t left = setup_.plan.room - tally_.Bytes(), seconds = 0;
    for (const auto& c : running_)
        if (c->FittedRate()) left -= FittedBytes(*c->FittedRate(), c->File().mediaSeconds, choices.target, choices.quality);
    // The planned rows start in their order: those before this one have started.
    const std::vector<std::int64_t>& rows = setup_.plan.rowSeconds;
    const std::size_t next = std::min<std::size_t>(rows.size(), tally_.StartedFiles());
    for (std::size_t i = next; i < rows.size(); ++i) seconds += rows[i];
    const int files = static_cast<int>(rows.size() - next);
    // Never below half the rate the batch began with, which the user agreed to.
    const int rate = FitRate(std::max<std::int64_t>(left, 0), seconds, files, choices.target, choices.quality).video;
    return std::max(rate, setup_.plan.fitted->video / 2);
}

void TBatch::ShowProgress()
{
    if (state_ == State::Idle) return;
    std::vector<std::pair<double, double>> shares;
    if (state_ == State::Making) shares.push_back({kDiscShare * static_cast<double>(setup_.plan.seconds), disc_->Share()});
    for (const auto& c : running_)
        shares.push_back({c->File().mediaSeconds, static_cast<double>(FileProgress(c->DoneBytes(), c->File().expectedSize)) / kProgressPerFile});
    if (OnProgress) OnProgress(tally_.Progress(shares, GetTickCount()));
}

void TBatch::StopAfterRunning()
{
    if (state_ == State::Making) {  // its streams are kept, and nothing of the disc
        disc_->Abandon();
        tally_.DiscEnded(DiscNotMadeText("the batch was stopped"));
        state_ = State::Stopping;
        return End();
    }
    if (state_ == State::Paused) {  // the running files finish
        for (const auto& c : running_) c->Pause(false);
        tally_.Resume(GetTickCount());
    }
    if (Running()) state_ = State::Stopping;
}

void TBatch::StopNow()
{
    StopAfterRunning();
    // What the encoders wrote goes off the window's thread, as a failed file's does; a
    // file already being saved is finished and kept.
    for (const auto& c : running_) c->StopNow();
}

}  // namespace convert
