// A thread timer of its own for each armed action.
#include "framework/OneShot.h"

#include <map>

#include "framework/Application.h"

namespace fw {

namespace {

// The armed actions by their timers: a timer's callback is given no pointer of its own.
std::map<UINT_PTR, TOneShot*>& Armed()
{
    static std::map<UINT_PTR, TOneShot*> armed;
    return armed;
}

}  // namespace

TOneShot::TOneShot(std::function<void()> action) : action_(std::move(action)) {}

TOneShot::~TOneShot()
{
    Disarm();
}

void TOneShot::Arm(unsigned ms)
{
    Disarm();
    timer_ = SetTimer(nullptr, 0, ms, &Fire);
    if (timer_) Armed()[timer_] = this;
}

void TOneShot::Disarm()
{
    if (!timer_) return;
    KillTimer(nullptr, timer_);
    Armed().erase(timer_);
    timer_ = 0;
}

void CALLBACK TOneShot::Fire(HWND, UINT, UINT_PTR id, DWORD)
{
    const auto found = Armed().find(id);
    if (found == Armed().end()) {
        KillTimer(nullptr, id);
        return;
    }
    TOneShot& shot = *found->second;
    shot.Disarm();
    // Nothing thrown crosses the system's dispatch back into the message loop.
    try {
        shot.action_();
    } catch (...) {
        Application->HandleException();
    }
}

}  // namespace fw
