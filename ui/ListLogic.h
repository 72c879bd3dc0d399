// The list's rules by column: what a click does to a row, and what its menu offers.
#pragma once
#include <array>
#include <vector>

#include "queue/QueueLogic.h"

namespace view {

enum class RowAction { None, Remove, OpenOutputFolder, OpenInput, ShowReason };

// What a click at client x does to the selected row, from the current widths of the
// columns 0 to 3 and the row's state; band edges act on nothing. A pending or failed row
// is removed by its "X"; a click on "Failed" tells why, and so does one on the "Done" of a
// row whose file has a note (it was saved under another name).
RowAction ClickAction(int x, const int (&widths)[4], queue::RowState state, bool hasNote = false);

// The list's context menu, in its order; the last opens "When the batch ends".
enum class MenuItem {
    OpenFile, OpenOutputFolder, WhyItFailed, Retry, Remove, RemoveFinished,
    PauseConverting, ResumeConverting, StopConverting, WhenBatchEnds
};
inline constexpr int kMenuItems = 10;
// What the selected rows and the batch allow: one row to open or explain, failed rows to
// retry, any rows to remove; while a batch runs, only the stop and the choice of what
// follows it, as the queue takes no change then.
struct MenuFacts {
    std::vector<queue::RowState> selected;  // the states of the selected rows
    bool selectedHasNote = false;    // one selected done row was saved under another name
    bool anyDone = false;            // in the whole queue
    bool batchRunning = false;
    bool batchPaused = false;
};
std::array<bool, kMenuItems> MenuEnabled(const MenuFacts& facts);

}  // namespace view
