// The rules of the interval timer.
#include "framework/TimerCore.h"

#include "framework/errors.h"

void TAdvancedTimerCore::Rearm()
{
    KillSystemTimer();
    if (interval_ != 0 && enabled_ && !released_ && !StartSystemTimer(interval_))
        throw fw::EOutOfResources("Not enough timers available");
}

void TAdvancedTimerCore::Shutdown()
{
    enabled_ = false;
    KillSystemTimer();
}

void TAdvancedTimerCore::SetEnabled(bool value)
{
    if (value == enabled_) return;
    enabled_ = value;
    Rearm();
    if (enabled_ && OnActivate) OnActivate(interval_);
    if (!enabled_ && OnDeactivate) OnDeactivate(static_cast<std::uint32_t>(intervals_));
    intervals_ = 0;
}

void TAdvancedTimerCore::SetInterval(std::uint32_t value)
{
    if (value == interval_) return;
    interval_ = value;
    Rearm();
}

void TAdvancedTimerCore::SetBuddy(const std::string& value)
{
    if (value == buddy_) return;
    buddy_ = value;
    Rearm();
}

void TAdvancedTimerCore::SetMessage(const std::wstring& value)
{
    if (value == message_) return;
    message_ = value;
    Rearm();
}

void TAdvancedTimerCore::SetTajmeri(std::int32_t value)
{
    if (value == tajmeri_) return;
    tajmeri_ = value;
    Rearm();
}

void TAdvancedTimerCore::SetOnTimer(fw::TNotifyEvent handler)
{
    onTimer_ = std::move(handler);
    Rearm();
}

void TAdvancedTimerCore::Release()
{
    if (released_) return;
    if (tickDepth_ == 0) {
        delete this;
        return;
    }
    released_ = true;
    KillSystemTimer();  // no later tick reaches it
}

void TAdvancedTimerCore::Tick()
{
    if (released_) return;
    ++tickDepth_;
    bool handlerFailed = false;
    if (onTimer_) {
        try {
            fw::TNotifyEvent handler = onTimer_;  // the handler may replace itself
            handler(this);
        } catch (...) {
            handlerFailed = true;
        }
    }
    --tickDepth_;
    if (released_) {
        if (tickDepth_ == 0) delete this;
        return;
    }
    if (handlerFailed) SetEnabled(false);
    intervals_ = NextIntervalCount(intervals_);
    if (intervals_ == MaxIntervals) {
        if (OnMaxIntervals) OnMaxIntervals(static_cast<std::uint32_t>(intervals_));
        if (StopAtMax) SetEnabled(false);
    }
}
