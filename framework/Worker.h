// A function run on a thread of its own, so that the window never waits for it, and a call
// back on the window's thread, from its message loop, once it has ended.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/handles.h"

namespace fw {

class TWorker {
public:
    TWorker() = default;
    // Joins: what the function writes is never left half done.
    ~TWorker() { Join(); }
    TWorker(const TWorker&) = delete;
    TWorker& operator=(const TWorker&) = delete;

    // Runs `work` on a thread of its own, once; `ended`, if any, is called from the window's
    // message loop after it returns. Where the system gives no thread, `work` runs here, and
    // `ended` still comes from the message loop.
    void Start(std::function<void()> work, std::function<void()> ended = {});
    bool Started() const { return started_; }
    // Started and returned (what it wrote is the caller's from then on).
    bool Ended() const { return started_ && WaitForSingleObject(done_.get(), 0) != WAIT_TIMEOUT; }
    // Waits for the end while the window keeps answering; `ended` may be called meanwhile.
    void Wait();
    // The one cancellation: `ended` will not be called, and the thread is waited for without
    // looking at the window's messages (for the end of the program, or of what owns it).
    void Join();

private:
    static DWORD WINAPI Run(void* self);
    std::function<void()> work_;
    bool started_ = false;
    bool watched_ = false;
    unique_handle done_;  // the thread, or an event already set where the work ran here
};

}  // namespace fw
