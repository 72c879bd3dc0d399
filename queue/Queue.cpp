// TQueue: the list view and the two hidden lists, in step, with each row's state.
#include "queue/Queue.h"

#include "convert/ConvertLogic.h"
#include "framework/Files.h"

namespace {
// The columns of the list view.
constexpr int kStateColumn = 2, kConvertedColumn = 3;
}  // namespace

TQueue::TQueue(fw::TListView& view, fw::TListBox& paths, fw::TListBox& durations)
    : view_(view), paths_(paths), durations_(durations)
{
}

void TQueue::Add(const std::string& path, const std::string& duration)
{
    paths_.Add(path);
    durations_.Add(duration);
    rows_.emplace_back();
    view_.AddItem("MP4", {queue::NamePart(path, fw::IsLeadByte), queue::RowStateText(queue::RowState::Pending), "", "X"});
    Changed();
}

void TQueue::Remove(int row)
{
    if (row < 0 || row >= Count()) return;
    durations_.Delete(row);
    paths_.Delete(row);
    rows_.erase(rows_.begin() + row);
    view_.DeleteItem(row);
    Changed();
}

std::string TQueue::Path(int row) const
{
    return paths_.Item(row);
}

std::string TQueue::Duration(int row) const
{
    return durations_.Item(row);
}

int TQueue::NextPending(int from) const
{
    for (int row = std::max(from, 0); row < Count(); ++row)
        if (State(row) == queue::RowState::Pending) return row;
    return -1;
}

void TQueue::SetState(int row, queue::RowState state, const std::string& text)
{
    rows_.at(static_cast<std::size_t>(row)).state = state;
    view_.SetCellText(row, kStateColumn, text);
}

void TQueue::Start(int row)
{
    SetState(row, queue::RowState::Converting, queue::RowStateText(queue::RowState::Converting));
}

void TQueue::ShowProgress(int row, std::int64_t size, std::int64_t expectedSize)
{
    SetState(row, queue::RowState::Converting, convert::ProgressText(size, expectedSize));
}

void TQueue::Finish(int row, const std::string& output, const std::string& note)
{
    Row& r = rows_.at(static_cast<std::size_t>(row));
    r.output = output;
    r.reason = note;
    SetState(row, queue::RowState::Done, queue::RowStateText(queue::RowState::Done));
    view_.SetCellText(row, kConvertedColumn, queue::kConvertedText);
    Changed();
}

void TQueue::Changed() const
{
    if (OnChange) OnChange();
}

std::vector<queue::SavedRow> TQueue::Unfinished() const
{
    std::vector<queue::SavedRow> rows;
    for (int row = 0; row < Count(); ++row)
        if (State(row) != queue::RowState::Done) rows.push_back({Path(row), Duration(row)});
    return rows;
}

void TQueue::Fail(int row, const std::string& reason)
{
    SetState(row, queue::RowState::Failed, queue::RowStateText(queue::RowState::Failed));
    rows_.at(static_cast<std::size_t>(row)).reason = reason;
}

void TQueue::ColumnWidths(int (&widths)[4]) const
{
    for (int column = 0; column < 4; ++column) widths[column] = view_.ColumnWidth(column);
}
