// TAdvancedTimer with real system timers on its hidden window.
#include <gtest/gtest.h>

#include "framework/advantmr.h"
#include "framework/errors.h"
#include "framework/Application.h"
#include "support.h"

using namespace testing_support;

TEST(AdvancedTimer, TicksArriveAtItsIntervalOnTheGuiThread)
{
    fw::TComponent owner(nullptr);
    auto* timer = fw::Create<TAdvancedTimer>(&owner);
    int ticks = 0;
    DWORD thread = 0;
    timer->SetInterval(100);
    timer->SetOnTimer([&](fw::TComponent*) {
        ++ticks;
        thread = GetCurrentThreadId();
    });
    // A busy machine may hold ticks back, but never brings them sooner.
    const DWORD start = GetTickCount();
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 10000));
    EXPECT_LE(ticks, static_cast<int>((GetTickCount() - start) / 100) + 1);
    EXPECT_EQ(thread, GetCurrentThreadId());
    EXPECT_EQ(timer->Intervals(), ticks);
    timer->SetEnabled(false);
    int stopped = ticks;
    PumpFor(300);
    EXPECT_EQ(ticks, stopped);
}

TEST(AdvancedTimer, ReleasedInsideItsOwnTickItGetsNoFurtherTick)
{
    fw::TComponent owner(nullptr);
    auto* timer = fw::Create<TAdvancedTimer>(&owner);
    int ticks = 0;
    timer->SetInterval(50);
    timer->SetOnTimer([&](fw::TComponent* sender) {
        ++ticks;
        fw::Application->ProcessMessages();  // lets a nested tick come, as the monitor does
        static_cast<TAdvancedTimer*>(sender)->Release();
    });
    PumpUntil([&] { return owner.Components().empty(); }, 10000);
    EXPECT_TRUE(owner.Components().empty());
    int released = ticks;
    PumpFor(300);
    EXPECT_EQ(ticks, released);
}

namespace {
class FaultyTimer : public TAdvancedTimer {
public:
    using TAdvancedTimer::TAdvancedTimer;
    void Tick() override
    {
        if (++ticks == 1) throw fw::Exception("The tick itself failed");
    }
    int ticks = 0;
};
}  // namespace

TEST(AdvancedTimer, HandlerErrorsStopTheTimerSilentlyOtherErrorsAreShown)
{
    fw::TComponent owner(nullptr);
    DialogWatcher dialogs;
    auto* timer = fw::Create<TAdvancedTimer>(&owner);
    timer->SetInterval(50);
    timer->SetOnTimer([](fw::TComponent*) { throw fw::Exception("handler failed"); });
    PumpUntil([&] { return !timer->Enabled(); }, 10000);
    EXPECT_FALSE(timer->Enabled());
    PumpFor(200);
    EXPECT_EQ(dialogs.Count(), 0);

    auto* faulty = fw::Create<FaultyTimer>(&owner);
    faulty->SetInterval(50);
    PumpUntil([&] { return faulty->ticks >= 3; }, 5000);
    EXPECT_TRUE(faulty->Enabled()) << "the timer keeps its state";
    faulty->SetEnabled(false);
    ASSERT_EQ(dialogs.Count(), 1);
    EXPECT_EQ(dialogs.Seen_()[0].text, "The tick itself failed.");
    EXPECT_EQ(dialogs.Seen_()[0].title, fw::Application->Title());
}
