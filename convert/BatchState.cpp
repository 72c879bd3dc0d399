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
    tally_.Pause(GetTickCount());
    for (const auto& c : running_) queue_.ShowPaused(queue_.IndexOf(c->id));
    SetThreadExecutionState(ES_CONTINUOUS);  // the system may sleep again
    ShowProgress();
}

void TBatch::Resume()
{
    if (state_ != State::Paused) return;
    SuspendEncoders(false);
    state_ = State::Running;
    tally_.Resume(GetTickCount());
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
    tally_.Begin(std::vector<double>(setup_.plan.rowSeconds.begin(), setup_.plan.rowSeconds.end()), GetTickCount());
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);  // no sleep; the display may turn off
    ShowProgress();
}

void TBatch::End(bool abandoned)
{
    if (state_ == State::Idle) return;
    const BatchSummary summary = tally_.End(state_ == State::Stopping, abandoned);
    state_ = State::Idle;
    queue_.Lock(false);
    SetThreadExecutionState(ES_CONTINUOUS);
    if (OnEnd) OnEnd(summary);
}

void TBatch::ShowProgress()
{
    if (state_ == State::Idle) return;
    std::vector<std::pair<double, double>> shares;
    for (const auto& c : running_)
        shares.push_back({c->mediaSeconds, static_cast<double>(FileProgress(c->DoneBytes(), c->expectedSize)) / kProgressPerFile});
    if (OnProgress) OnProgress(tally_.Progress(shares, GetTickCount()));
}

void TBatch::StopAfterRunning()
{
    if (state_ == State::Paused) {  // the running files finish
        SuspendEncoders(false);
        tally_.Resume(GetTickCount());
    }
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
