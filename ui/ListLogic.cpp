// The list's rules by column.
#include "ui/ListLogic.h"

#include <algorithm>

namespace view {

RowAction ClickAction(int x, const int (&w)[4], queue::RowState state, bool hasNote)
{
    const int typeEnd = w[0];
    const int nameEnd = typeEnd + w[1];
    const int progressEnd = nameEnd + w[2];
    const int convertedEnd = progressEnd + w[3];
    if (x > convertedEnd && (state == queue::RowState::Pending || state == queue::RowState::Failed)) return RowAction::Remove;
    if (x > progressEnd && x < convertedEnd && queue::Finished(state)) return RowAction::OpenOutputFolder;
    if (x > nameEnd && x < progressEnd && (state == queue::RowState::Failed || (state == queue::RowState::Done && hasNote)))
        return RowAction::ShowReason;
    if (x > typeEnd && x < nameEnd) return RowAction::OpenInput;
    return RowAction::None;
}

std::array<bool, kMenuItems> MenuEnabled(const MenuFacts& facts)
{
    std::array<bool, kMenuItems> on{};
    auto set = [&](MenuItem item, bool value) { on[static_cast<std::size_t>(item)] = value; };
    set(MenuItem::PauseConverting, facts.batchRunning && !facts.batchPaused);
    set(MenuItem::ResumeConverting, facts.batchRunning && facts.batchPaused);
    set(MenuItem::StopConverting, facts.batchRunning);
    set(MenuItem::WhenBatchEnds, true);
    if (facts.batchRunning) return on;
    const bool one = facts.selected.size() == 1;
    const queue::RowState first = one ? facts.selected[0] : queue::RowState::Pending;
    set(MenuItem::OpenFile, one);
    set(MenuItem::OpenOutputFolder, one && queue::Finished(first));
    set(MenuItem::WhyItFailed, one && (first == queue::RowState::Failed || (first == queue::RowState::Done && facts.selectedHasNote)));
    set(MenuItem::Retry, std::find(facts.selected.begin(), facts.selected.end(), queue::RowState::Failed) != facts.selected.end());
    set(MenuItem::Remove, !facts.selected.empty());
    set(MenuItem::RemoveFinished, facts.anyDone);
    return on;
}

}  // namespace view
