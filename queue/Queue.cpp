// TQueue: the rows, and the list view and two hidden lists that show them, in step.
#include "queue/Queue.h"

#include <algorithm>

#include "framework/Files.h"

namespace {
// The columns of the list view.
constexpr int kStateColumn = 2, kConvertedColumn = 3;
}  // namespace

TQueue::TQueue(fw::TListView& view, fw::TListBox& paths, fw::TListBox& durations)
    : view_(view), paths_(paths), durations_(durations)
{
}

bool TQueue::Add(const std::string& path, const std::string& duration)
{
    if (locked_) return false;
    rows_.push_back({nextId_++, path, duration});
    paths_.Add(path);
    durations_.Add(duration);
    view_.AddItem("MP4", {queue::NamePart(path, fw::IsLeadByte), queue::RowStateText(queue::RowState::Pending), "", "X"});
    Changed();
    return true;
}

bool TQueue::Remove(int row)
{
    return RemoveRows({row});
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
        durations_.Delete(row);
        paths_.Delete(row);
        rows_.erase(rows_.begin() + row);
        view_.DeleteItem(row);
        removed = true;
    }
    if (removed) Changed();
    return true;
}

bool TQueue::Retry(int row)
{
    if (locked_ || State(row) != queue::RowState::Failed) return false;
    At(row).reason.clear();
    SetState(row, queue::RowState::Pending, queue::RowStateText(queue::RowState::Pending));
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

void TQueue::SetState(int row, queue::RowState state, const std::string& text)
{
    At(row).state = state;
    view_.SetCellText(row, kStateColumn, text);
}

void TQueue::Start(int row)
{
    SetState(row, queue::RowState::Converting, queue::RowStateText(queue::RowState::Converting));
}

void TQueue::ShowProgress(int row, std::int64_t size, std::int64_t expectedSize)
{
    SetState(row, queue::RowState::Converting, queue::ProgressText(size, expectedSize));
}

void TQueue::Finish(int row, const std::string& output, const std::string& note)
{
    Row& r = At(row);
    r.output = output;
    r.reason = note;
    SetState(row, queue::RowState::Done, queue::RowStateText(queue::RowState::Done));
    view_.SetCellText(row, kConvertedColumn, queue::kConvertedText);
    Changed();
}

void TQueue::Fail(int row, const std::string& reason)
{
    SetState(row, queue::RowState::Failed, queue::RowStateText(queue::RowState::Failed));
    At(row).reason = reason;
}

void TQueue::Stopped(int row)
{
    SetState(row, queue::RowState::Pending, queue::RowStateText(queue::RowState::Pending));
    view_.SetCellText(row, kConvertedColumn, "");
}

void TQueue::Changed() const
{
    if (OnChange) OnChange();
}

std::vector<queue::SavedRow> TQueue::Unfinished() const
{
    std::vector<queue::SavedRow> rows;
    for (const Row& row : rows_)
        if (row.state != queue::RowState::Done) rows.push_back({row.path, row.duration});
    return rows;
}

std::vector<int> TQueue::SelectedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < Count(); ++row)
        if (IsSelected(row)) rows.push_back(row);
    return rows;
}

void TQueue::SelectAll()
{
    view_.SelectAll();
}

void TQueue::ColumnWidths(int (&widths)[4]) const
{
    for (int column = 0; column < 4; ++column) widths[column] = view_.ColumnWidth(column);
}
