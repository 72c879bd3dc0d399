// The interval timer's rules against a recording system timer: which setters restart the
// countdown, the events, the maximum, and release from inside a tick.
#include <gtest/gtest.h>

#include "framework/TimerCore.h"
#include "framework/errors.h"

namespace {

class RecordingTimer : public TAdvancedTimerCore {
public:
    explicit RecordingTimer(fw::TComponent* owner, std::vector<std::string>* log) : TAdvancedTimerCore(owner), log_(log) {}
    ~RecordingTimer() override
    {
        Shutdown();
        if (destroyed) *destroyed = true;
    }
    bool failStart = false;
    bool* destroyed = nullptr;

protected:
    void KillSystemTimer() override { log_->push_back("kill"); }
    bool StartSystemTimer(std::uint32_t interval) override
    {
        log_->push_back("set " + std::to_string(interval));
        return !failStart;
    }

private:
    std::vector<std::string>* log_;
};

struct TimerTest : ::testing::Test {
    std::vector<std::string> log;
    fw::TComponent owner{nullptr};
    RecordingTimer* timer = new RecordingTimer(&owner, &log);
    std::vector<std::string> Take() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;

}  // namespace

TEST_F(TimerTest, NewTimerHasItsDefaultsAndNoSystemTimer)
{
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 1000u);
    EXPECT_EQ(timer->Intervals(), 0);
    EXPECT_TRUE(timer->StopAtMax);
    EXPECT_EQ(timer->MaxIntervals, 0);
    EXPECT_TRUE(log.empty());
    timer->SetEnabled(true);  // already true: nothing
    EXPECT_TRUE(log.empty());
}

TEST_F(TimerTest, SettersRearmOnlyWhenTheValueDiffersButOnTimerAlways)
{
    timer->SetInterval(500);
    EXPECT_EQ(Take(), (Log{"kill", "set 500"}));
    timer->SetInterval(500);
    timer->SetBuddy("");
    timer->SetMessage(L"");
    timer->SetTajmeri(0);
    EXPECT_TRUE(Take().empty());
    timer->SetBuddy("C:\\out\\a.mpg");
    timer->SetMessage(L"\u00e9t\u00e9");
    timer->SetTajmeri(7);
    EXPECT_EQ(Take(), (Log{"kill", "set 500", "kill", "set 500", "kill", "set 500"}));
    timer->SetBuddy("C:\\OUT\\a.mpg");  // case counts
    EXPECT_EQ(Take().size(), 2u);
    fw::TNotifyEvent handler = [](fw::TComponent*) {};
    timer->SetOnTimer(handler);
    timer->SetOnTimer(handler);
    EXPECT_EQ(Take(), (Log{"kill", "set 500", "kill", "set 500"}));
    timer->MaxIntervals = 3;
    timer->StopAtMax = false;
    timer->OnActivate = nullptr;
    EXPECT_TRUE(Take().empty());
}

TEST_F(TimerTest, IntervalZeroRunsNoSystemTimer)
{
    timer->SetInterval(0);
    EXPECT_EQ(Take(), (Log{"kill"}));
    timer->SetInterval(250);
    EXPECT_EQ(Take(), (Log{"kill", "set 250"}));
}

TEST_F(TimerTest, EnabledReportsDeactivateWithTheCountThenActivateWithTheInterval)
{
    std::vector<std::string> events;
    timer->OnActivate = [&](std::uint32_t interval) { events.push_back("activate " + std::to_string(interval)); };
    timer->OnDeactivate = [&](std::uint32_t count) { events.push_back("deactivate " + std::to_string(count)); };
    timer->SetEnabled(false);
    EXPECT_EQ(Take(), (Log{"kill"}));
    timer->SetEnabled(true);
    EXPECT_EQ(Take(), (Log{"kill", "set 1000"}));
    timer->Tick();
    timer->Tick();
    EXPECT_EQ(timer->Intervals(), 2);
    timer->SetEnabled(false);
    EXPECT_EQ(timer->Intervals(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"deactivate 0", "activate 1000", "deactivate 2"}));
}

TEST_F(TimerTest, MaxIntervalsFiresThenStops)
{
    std::vector<std::string> events;
    timer->MaxIntervals = 3;
    timer->OnMaxIntervals = [&](std::uint32_t n) { events.push_back("max " + std::to_string(n)); };
    timer->OnDeactivate = [&](std::uint32_t n) { events.push_back("deactivate " + std::to_string(n)); };
    for (int i = 0; i < 3; ++i) timer->Tick();
    EXPECT_EQ(events, (std::vector<std::string>{"max 3", "deactivate 3"}));
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->Intervals(), 0);
}

TEST_F(TimerTest, RaisingHandlerSwitchesTheTimerOffSilently)
{
    int calls = 0;
    timer->SetOnTimer([&](fw::TComponent*) {
        ++calls;
        throw fw::Exception("boom");
    });
    EXPECT_NO_THROW(timer->Tick());
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->Intervals(), 1);  // the count goes on after the switch-off
}

TEST_F(TimerTest, NoSystemTimerLeftRaisesAndKeepsTheValue)
{
    timer->failStart = true;
    try {
        timer->SetInterval(500);
        ADD_FAILURE();
    } catch (const fw::EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Not enough timers available");
    }
    EXPECT_EQ(timer->Interval(), 500u);
}

TEST_F(TimerTest, ReleaseInsideItsOwnTickFreesItAfterTheHandler)
{
    bool destroyed = false;
    timer->destroyed = &destroyed;
    bool afterRelease = false;
    timer->SetOnTimer([&](fw::TComponent* sender) {
        static_cast<TAdvancedTimerCore*>(sender)->Release();
        EXPECT_FALSE(destroyed);  // still usable until the handler returns
        afterRelease = true;
    });
    Take();
    timer->Tick();
    EXPECT_TRUE(afterRelease);
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(owner.Components().empty());
    EXPECT_EQ(log.front(), "kill");  // stopped at the release
}

TEST_F(TimerTest, NestedTickDuringTheHandlerAndReleaseInsideIt)
{
    bool destroyed = false;
    timer->destroyed = &destroyed;
    int depth = 0, calls = 0;
    timer->SetOnTimer([&](fw::TComponent* sender) {
        auto* self = static_cast<TAdvancedTimerCore*>(sender);
        ++calls;
        if (++depth == 1) {
            self->Tick();  // as when the handler lets the message queue run
            EXPECT_FALSE(destroyed);
            self->Tick();  // a late tick reaches nothing
        } else {
            self->Release();
        }
        --depth;
    });
    timer->Tick();
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(destroyed);
}

TEST_F(TimerTest, OwnerFreesItsTimers)
{
    bool destroyed = false;
    {
        fw::TComponent localOwner(nullptr);
        auto* t = new RecordingTimer(&localOwner, &log);
        t->destroyed = &destroyed;
    }
    EXPECT_TRUE(destroyed);
}

TEST(TimerCount, WrapsPastTheLargestCount)
{
    EXPECT_EQ(TAdvancedTimerCore::NextIntervalCount(0), 1);
    EXPECT_EQ(TAdvancedTimerCore::NextIntervalCount(INT32_MAX), INT32_MIN);
    EXPECT_EQ(TAdvancedTimerCore::NextIntervalCount(-1), 0);
}
