// What the session tells the one who shows it, and what it asks.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "batch/ProgressLogic.h"
#include "queue/Queue.h"

namespace app {

using batch::ProgressShown;

// Each may be left empty: a message then goes unseen, a question is answered no, and an
// action is never stopped.
struct TSessionEvents {
    // A row came, went or shows another state (the queue's own news).
    std::function<void(TQueue::Change change, int row)> OnRowChange{};
    // What the list's caption says while an action works; empty: its own text again.
    std::function<void(const std::string& text)> OnStatus{};
    // What the window shows of the choices changed: the output folder, the file and folder
    // last queued, the target, the quality, the size to fit.
    std::function<void()> OnChoicesChanged{};
    // A batch's progress as shown, and what is said of its end (empty when the program's end
    // abandoned it).
    std::function<void(const ProgressShown& progress)> OnProgress{};
    std::function<void(const std::string& said)> OnBatchEnded{};
    // Something the user must read, and a question answered yes or no.
    std::function<void(const std::string& text)> OnMessage{};
    std::function<bool(const std::string& text)> OnQuestion{};
    // A question answered yes or no, or cancelled (none); left empty, it is answered no.
    std::function<std::optional<bool>(const std::string& text)> OnQuestionOrCancel{};
    // Asked between the files of a long action: whether the user wants it stopped (ESC).
    std::function<bool()> OnStopWanted{};
    // Whether the window is free for what comes in: no dialog or message box of its own is open.
    std::function<bool()> OnFreeWanted{};
    // The items handed over (a drop, another copy's, the command line's) are queued: a burst ended.
    std::function<void()> OnHandedQueued{};
};

// The caption's text while an action works (empty: its own again), and news of the folders
// or choices shown.
inline void ShowStatus(const TSessionEvents& events, const std::string& text)
{
    if (events.OnStatus) events.OnStatus(text);
}

inline void ChoicesChanged(const TSessionEvents& events)
{
    if (events.OnChoicesChanged) events.OnChoicesChanged();
}

inline void Tell(const TSessionEvents& events, const std::string& text)
{
    if (events.OnMessage) events.OnMessage(text);
}

inline bool Ask(const TSessionEvents& events, const std::string& text)
{
    return events.OnQuestion && events.OnQuestion(text);
}

inline std::optional<bool> AskOrCancel(const TSessionEvents& events, const std::string& text)
{
    return events.OnQuestionOrCancel ? events.OnQuestionOrCancel(text) : std::optional<bool>(false);
}

}  // namespace app
