// TAdvancedTimer: an interval timer on a hidden window of its own.
#include "framework/advantmr.h"

#include "framework/Application.h"

namespace {
constexpr const char* kTimerClass = "TAdvancedTimerWindow";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

TAdvancedTimer::TAdvancedTimer(fw::TComponent* owner) : TAdvancedTimerCore(owner)
{
    WNDCLASSA existing{};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), kTimerClass, &existing)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &TAdvancedTimer::WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kTimerClass;
        RegisterClassA(&wc);
    }
    window_ = CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TAdvancedTimer::~TAdvancedTimer()
{
    Shutdown();
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void TAdvancedTimer::KillSystemTimer()
{
    KillTimer(window_, kTimerId);
}

bool TAdvancedTimer::StartSystemTimer(std::uint32_t interval)
{
    return SetTimer(window_, kTimerId, interval, nullptr) != 0;
}

LRESULT CALLBACK TAdvancedTimer::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_TIMER) return DefWindowProcA(window, msg, wParam, lParam);
    auto* timer = reinterpret_cast<TAdvancedTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!timer) return 0;
    try {
        timer->Tick();
    } catch (...) {
        fw::Application->HandleException();
    }
    return 0;
}
