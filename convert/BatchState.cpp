// TBatch's state and what it tells: its beginning and end, pause, resume and stop, and its
// progress in media seconds.
#include "convert/Batch.h"

#include <algorithm>

#include "convert/Conversion.h"

#include "framework/Launcher.h"
#include "queue/Queue.h"

namespace convert {

void TBatch::Pause()
{
    if (state_ != State::Running) return;
    SuspendEncoders(true);
    state_ = State::Paused;
    runningMs_ += GetTickCount() - runningSince_;
    for (const auto& c : running_) queue_.ShowPaused(queue_.IndexOf(c->id));
    SetThreadExecutionState(ES_CONTINUOUS);  // the system may sleep again
    ShowProgress();
}

void TBatch::Resume()
{
    if (state_ != State::Paused) return;
    SuspendEncoders(false);
    state_ = State::Running;
    runningSince_ = GetTickCount();
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    ShowProgress();
    FillSlots();  // the slots that emptied meanwhile
}

void TBatch::SuspendEncoders(bool suspend)
{
    for (const auto& c : running_)
        if (c->step != Step::Saving) fw::SuspendProcess(c->process.get(), suspend);
}

void TBatch::Begin()
{
    state_ = State::Running;
    queue_.Lock(true);
    facts_ = {};
    for (int row : queue_.RowsIn(queue::RowState::Pending)) {
        ++facts_.files;
        facts_.mediaTotal += queue_.MediaSeconds(row);
    }
    summary_ = {};
    ended_ = 0;
    runningMs_ = 0;
    runningSince_ = GetTickCount();
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);  // no sleep; the display may turn off
    ShowProgress();
}

void TBatch::End(bool abandoned)
{
    if (state_ == State::Idle) return;
    summary_.stopped = state_ == State::Stopping;
    summary_.abandoned = abandoned;
    state_ = State::Idle;
    queue_.Lock(false);
    SetThreadExecutionState(ES_CONTINUOUS);
    if (OnEnd) OnEnd(summary_);
}

double TBatch::RunningSeconds() const
{
    const DWORD ms = runningMs_ + (state_ == State::Paused ? 0 : GetTickCount() - runningSince_);
    return ms / 1000.0;
}

void TBatch::ShowProgress()
{
    if (state_ == State::Idle) return;
    BatchProgress progress{facts_, summary_.failed > 0, facts_.files - ended_};
    for (const auto& c : running_) {
        const double share = static_cast<double>(FileProgress(DoneBytes(*c), c->expectedSize)) / kProgressPerFile * c->mediaSeconds;
        progress.facts.mediaDone += share;
        progress.facts.mediaEncoded += share;
    }
    progress.facts.runningSeconds = RunningSeconds();
    progress.facts.paused = state_ == State::Paused;
    if (OnProgress) OnProgress(progress);
}

std::int64_t TBatch::DoneBytes(const TConversion& c) const
{
    const int pass = PassOf(c.step);
    if (pass == 0) return c.lastSize;
    return std::min(c.lastSize, c.expectedSize) / 2 + (pass == 2 ? c.expectedSize / 2 : 0);
}

void TBatch::FileEnded(const TConversion& c, Outcome outcome)
{
    if (outcome == Outcome::Stopped) {
        --facts_.started;  // back to "Pending", to run with the next batch
        return;
    }
    ++ended_;
    facts_.mediaDone += c.mediaSeconds;
    if (outcome == Outcome::Skipped) return;
    if (outcome == Outcome::Converted) {
        facts_.mediaEncoded += c.mediaSeconds;
        ++summary_.converted;
        summary_.bytes += c.lastSize;
    } else {
        ++summary_.failed;
    }
}

void TBatch::StopAfterRunning()
{
    if (state_ == State::Paused) SuspendEncoders(false);  // the running files finish
    if (Running()) state_ = State::Stopping;
}

void TBatch::StopNow()
{
    StopAfterRunning();
    // What the encoders wrote goes off the window's thread, as a failed file's does; a
    // file already being saved is finished and kept.
    for (const auto& c : running_) {
        if (c->step == Step::Saving) continue;
        TerminateProcess(c->process.get(), 1);
        c->stopped = true;
        Ended(*c);
    }
}

}  // namespace convert
