// TAdvancedTimer: an interval timer on a hidden window of its own.
#pragma once
#include <windows.h>

#include "framework/TimerCore.h"

class TAdvancedTimer : public TAdvancedTimerCore {
public:
    explicit TAdvancedTimer(fw::TComponent* owner);
    ~TAdvancedTimer() override;
    HWND WindowHandle() const { return window_; }

protected:
    void KillSystemTimer() override;
    bool StartSystemTimer(std::uint32_t interval) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};
