// A function on a thread of its own, and its end told on the window's thread.
#include "framework/Worker.h"

#include <utility>

#include "framework/Application.h"
#include "framework/Launcher.h"

namespace fw {

void TWorker::Start(std::function<void()> work, std::function<void()> ended)
{
    if (std::exchange(started_, true)) return;
    work_ = std::move(work);
    done_.reset(CreateThread(nullptr, 0, &TWorker::Run, this, 0, nullptr));
    if (!done_) {
        work_();  // no thread to be had: the window waits
        done_.reset(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    }
    if (!ended) return;
    if (!done_) return ended();  // not even an event: told at once
    watched_ = true;
    Application->WatchHandle(done_.get(), [this, ended = std::move(ended)] {
        watched_ = false;  // the loop has let go of the handle; `ended` may end this worker
        ended();
    });
}

void TWorker::Wait()
{
    if (done_) WaitAnswering(done_.get());
}

void TWorker::Join()
{
    if (std::exchange(watched_, false)) Application->UnwatchHandle(done_.get());
    if (done_) WaitForSingleObject(done_.get(), INFINITE);
}

DWORD WINAPI TWorker::Run(void* self)
{
    static_cast<TWorker*>(self)->work_();
    return 0;
}

}  // namespace fw
