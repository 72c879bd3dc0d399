// TQueue: the files to convert. Each row is shown in the list view and kept at the same
// index in the two hidden lists (full path, duration entry), with its state and, for a
// failed row, why. Nothing else reads or writes those lists.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "queue/QueueLogic.h"

class TQueue {
public:
    TQueue(fw::TListView& view, fw::TListBox& paths, fw::TListBox& durations);

    int Count() const { return static_cast<int>(rows_.size()); }
    // Called when a row comes, goes or is done: the rows not yet done have changed.
    std::function<void()> OnChange;
    // Every row that is not done (waiting, converting or failed), in its order.
    std::vector<queue::SavedRow> Unfinished() const;
    void Add(const std::string& path, const std::string& duration);
    void Remove(int row);

    std::string Path(int row) const;
    std::string Duration(int row) const;
    queue::RowState State(int row) const { return rows_.at(static_cast<std::size_t>(row)).state; }
    // Why a failed row failed, or why a done row's file has another name; empty for the others.
    const std::string& Reason(int row) const { return rows_.at(static_cast<std::size_t>(row)).reason; }
    // The file a done row was converted into.
    const std::string& Output(int row) const { return rows_.at(static_cast<std::size_t>(row)).output; }
    // The first pending row from `from` on, top to bottom; -1 when there is none.
    int NextPending(int from = 0) const;

    // A row's encoder has started: the row still shows "Pending" until it is measured.
    void Start(int row);
    // "N% Done" for the output measured against the size expected.
    void ShowProgress(int row, std::int64_t size, std::int64_t expectedSize);
    // "Done" and "MPG": the file written, and why it has another name than the one meant.
    void Finish(int row, const std::string& output, const std::string& note = {});
    // "Failed" (drawn red), the reason kept beside the row.
    void Fail(int row, const std::string& reason);

    // The list view's selection and its columns, for clicks on a row.
    int Selected() const { return view_.SelectedIndex(); }
    bool IsSelected(int row) const { return view_.IsSelected(row); }
    void ColumnWidths(int (&widths)[4]) const;
    fw::TListView& View() const { return view_; }

private:
    void SetState(int row, queue::RowState state, const std::string& text);
    void Changed() const;

    struct Row {
        queue::RowState state = queue::RowState::Pending;
        std::string reason;
        std::string output;
    };
    fw::TListView& view_;
    fw::TListBox& paths_;
    fw::TListBox& durations_;
    std::vector<Row> rows_;
};
