// A run of the command line's, unattended.
#include "app/ScriptedRun.h"

#include <windows.h>

#include <cstdio>

#include "framework/Application.h"

namespace app {

bool SayOnConsole(const std::string& text)
{
    if (GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_UNKNOWN) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
        std::freopen("CONOUT$", "w", stderr);
    }
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    return true;
}

TSessionEvents TScriptedRun::Over(TSessionEvents window)
{
    if (request_.convert) {
        window.OnMessage = [](const std::string& text) { SayOnConsole(text); };
        window.OnQuestion = [this](const std::string& text) { return SayOnConsole(text), queued_; };
        window.OnQuestionOrCancel = [this](const std::string& text) { return SayOnConsole(text), std::optional<bool>(queued_); };
        window.OnHandedQueued = [this] { Queued(); };
    }
    if (request_.close) {
        auto shown = std::move(window.OnBatchEnded);
        window.OnBatchEnded = [this, shown](const std::string& said) {
            if (shown) shown(said);
            Ended();
        };
    }
    return window;
}

void TScriptedRun::Queued()
{
    if (std::exchange(queued_, true)) return;
    session_.Start();
    if (!session_.Busy() && request_.close) Ended();  // nothing could be started
}

void TScriptedRun::Ended()
{
    const TQueue& queue = session_.Queue();
    int failed = 0, pending = 0;
    for (int row = 0; row < queue.Count(); ++row) {
        failed += queue.State(row) == queue::RowState::Failed;
        pending += queue.State(row) == queue::RowState::Pending;
    }
    exitCode_ = ExitCodeOf(failed, pending, queue.Count());
    fw::Application->Terminate();
}

}  // namespace app
