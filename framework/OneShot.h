// TOneShot: an action called once on this thread's message loop, a delay after it is armed.
#pragma once
#include <windows.h>

#include <functional>

namespace fw {

class TOneShot {
public:
    explicit TOneShot(std::function<void()> action);
    ~TOneShot();
    TOneShot(const TOneShot&) = delete;
    TOneShot& operator=(const TOneShot&) = delete;

    // Calls the action once, `ms` from now; armed again, the earlier call is dropped.
    void Arm(unsigned ms);
    void Disarm();

private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD);

    std::function<void()> action_;
    UINT_PTR timer_ = 0;
};

}  // namespace fw
