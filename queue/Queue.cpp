// TQueue: the rows, their states and the news of each change.
#include "queue/Queue.h"

#include <algorithm>

bool TQueue::Add(const std::string& path, int mediaSeconds, const std::string& subfolder)
{
    if (locked_) return false;
    Row row;
    row.id = nextId_++;
    row.path = path;
    row.subfolder = subfolder;
    row.seconds = mediaSeconds;
    rows_.push_back(std::move(row));
    Tell(Change::Added, Count() - 1);
    Changed();
    return true;
}

bool TQueue::RemoveRows(std::vector<int> rows)
{
    if (locked_) return false;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    bool removed = false;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {  // bottom up: the indexes above stay
        const int row = *it;
        if (row < 0 || row >= Count()) continue;
        rows_.erase(rows_.begin() + row);
        Tell(Change::Removed, row);
        removed = true;
    }
    if (removed) Changed();
    return true;
}

bool TQueue::Retry(int row)
{
    if (locked_ || State(row) != queue::RowState::Failed) return false;
    At(row).reason.clear();
    SetState(row, queue::RowState::Pending);
    Changed();
    return true;
}

int TQueue::IndexOf(RowId id) const
{
    for (int row = 0; row < Count(); ++row)
        if (rows_[static_cast<std::size_t>(row)].id == id) return row;
    return -1;
}

int TQueue::NextPending(int from) const
{
    for (int row = std::max(from, 0); row < Count(); ++row)
        if (State(row) == queue::RowState::Pending) return row;
    return -1;
}

std::vector<int> TQueue::RowsIn(queue::RowState state) const
{
    std::vector<int> rows;
    for (int row = 0; row < Count(); ++row)
        if (State(row) == state) rows.push_back(row);
    return rows;
}

std::vector<int> TQueue::FinishedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < Count(); ++row)
        if (queue::Finished(State(row))) rows.push_back(row);
    return rows;
}

std::string TQueue::StateText(int row) const
{
    const Row& r = At(row);
    return queue::RowText(r.state, r.percent, r.paused);
}

void TQueue::SetState(int row, queue::RowState state, std::optional<int> percent, bool paused)
{
    Row& r = At(row);
    r.state = state;
    r.percent = percent;
    r.paused = paused;
    Tell(Change::State, row);
}

void TQueue::Start(int row)
{
    SetState(row, queue::RowState::Converting);
}

void TQueue::ShowProgress(int row, std::int64_t size, std::int64_t expectedSize)
{
    SetState(row, queue::RowState::Converting, queue::ProgressPercent(size, expectedSize));
}

void TQueue::Finish(int row, const std::string& output, const std::string& note)
{
    Row& r = At(row);
    r.output = output;
    r.reason = note;
    SetState(row, queue::RowState::Done);
    Changed();
}

void TQueue::Skip(int row, const std::string& existing)
{
    At(row).output = existing;
    SetState(row, queue::RowState::Skipped);
    Changed();
}

void TQueue::Fail(int row, const std::string& reason)
{
    At(row).reason = reason;
    SetState(row, queue::RowState::Failed);
}

void TQueue::Stopped(int row)
{
    SetState(row, queue::RowState::Pending);
}

void TQueue::ShowPaused(int row)
{
    if (row >= 0) SetState(row, State(row), At(row).percent, true);
}

void TQueue::Tell(Change change, int row) const
{
    if (OnRowChange) OnRowChange(change, row);
}

void TQueue::Changed() const
{
    if (OnChange) OnChange();
}

std::vector<queue::SavedRow> TQueue::Unfinished() const
{
    std::vector<queue::SavedRow> rows;
    for (const Row& row : rows_)
        if (!queue::Finished(row.state)) rows.push_back({row.path, row.seconds, row.subfolder});
    return rows;
}
