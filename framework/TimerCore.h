// The rules of the interval timer, apart from the system timer it drives: which setters
// restart the countdown, the tick count, the three events and release from inside a tick.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "framework/Component.h"

class TAdvancedTimerCore : public fw::TComponent {
public:
    using TTimerActivateEvent = std::function<void(std::uint32_t interval)>;
    using TTimerDeactivateEvent = std::function<void(std::uint32_t intervals)>;
    using TTimerMaxIntervals = std::function<void(std::uint32_t intervals)>;

    // The tick count after one more tick: past the largest count it wraps to the
    // smallest, as a 32-bit counter does, instead of overflowing.
    static std::int32_t NextIntervalCount(std::int32_t count)
    {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(count) + 1u);
    }

    explicit TAdvancedTimerCore(fw::TComponent* owner) : fw::TComponent(owner) {}

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t value);
    std::int32_t Intervals() const { return intervals_; }
    const std::string& Buddy() const { return buddy_; }
    void SetBuddy(const std::string& value);
    const std::wstring& Message() const { return message_; }
    void SetMessage(const std::wstring& value);
    std::int32_t Tajmeri() const { return tajmeri_; }
    void SetTajmeri(std::int32_t value);
    void SetOnTimer(fw::TNotifyEvent handler);

    std::int32_t MaxIntervals = 0;
    bool StopAtMax = true;
    TTimerActivateEvent OnActivate;
    TTimerDeactivateEvent OnDeactivate;
    TTimerMaxIntervals OnMaxIntervals;

    // One tick: OnTimer, then the count and the maximum.
    virtual void Tick();
    // Frees the timer. Inside one of its own ticks the timer stops at once and is freed
    // when the outermost tick is over; the tick then touches nothing of it any more.
    void Release();
    bool Released() const { return released_; }

protected:
    // Stops the system timer and starts it again with a full interval when it should run.
    // Raises fw::EOutOfResources "Not enough timers available".
    void Rearm();
    // For destructors: switch off without OnDeactivate.
    void Shutdown();
    virtual void KillSystemTimer() = 0;
    virtual bool StartSystemTimer(std::uint32_t interval) = 0;

private:
    bool enabled_ = true;
    std::uint32_t interval_ = 1000;
    std::int32_t intervals_ = 0;
    std::string buddy_;
    std::wstring message_;
    std::int32_t tajmeri_ = 0;
    fw::TNotifyEvent onTimer_;
    int tickDepth_ = 0;
    bool released_ = false;
};
