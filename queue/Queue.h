// TQueue: the files to convert. Each row is shown in the list view and kept at the same
// index in the two hidden lists (full path, duration entry), with its state and, for a
// failed row, why. Nothing else reads or writes those lists.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "queue/QueueLogic.h"

class TQueue {
public:
    TQueue(fw::TListView& view, fw::TListBox& paths, fw::TListBox& durations);

    int Count() const { return static_cast<int>(rows_.size()); }
    void Add(const std::string& path, const std::string& duration);
    void Remove(int row);

    std::string Path(int row) const;
    std::string Duration(int row) const;
    queue::RowState State(int row) const { return rows_.at(static_cast<std::size_t>(row)).state; }
    // Why a failed row failed; empty for the others.
    const std::string& Reason(int row) const { return rows_.at(static_cast<std::size_t>(row)).reason; }
    // The first pending row from `from` on, top to bottom; -1 when there is none.
    int NextPending(int from = 0) const;

    // A row's encoder has started: the row still shows "Pending" until it is measured.
    void Start(int row);
    // "N% Done" for the output measured against the size expected.
    void ShowProgress(int row, std::int64_t size, std::int64_t expectedSize);
    // "Done" and "MPG".
    void Finish(int row);
    // "Failed" (drawn red), the reason kept beside the row.
    void Fail(int row, const std::string& reason);

    // The list view's selection and its columns, for clicks on a row.
    int Selected() const { return view_.SelectedIndex(); }
    bool IsSelected(int row) const { return view_.IsSelected(row); }
    void ColumnWidths(int (&widths)[4]) const;
    fw::TListView& View() const { return view_; }

private:
    void SetState(int row, queue::RowState state, const std::string& text);

    struct Row {
        queue::RowState state = queue::RowState::Pending;
        std::string reason;
    };
    fw::TListView& view_;
    fw::TListBox& paths_;
    fw::TListBox& durations_;
    std::vector<Row> rows_;
};
