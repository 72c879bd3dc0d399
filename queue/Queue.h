// TQueue: the files to convert, kept here and nowhere else. Each row has a stable id, its
// input path, its media seconds, its state with the text it shows and, for a failed row,
// why, and for a done one the file written. The queue has no window: the list view shows it
// by following OnRowChange. While a batch converts, the queue is locked: it takes no row,
// loses none and keeps their order.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "queue/QueueLogic.h"

class TQueue {
public:
    using RowId = int;
    enum class Change { Added, Removed, State };

    int Count() const { return static_cast<int>(rows_.size()); }
    // A row came, went, or shows another state; the index is the row's at that moment.
    std::function<void(Change change, int row)> OnRowChange;
    // Called when a row comes, goes, is done or may run again: the rows not yet done have changed.
    std::function<void()> OnChange;
    // Every row that is not done (waiting, converting or failed), in its order.
    std::vector<queue::SavedRow> Unfinished() const;

    // Changes to the rows, each refused (false) while the queue is locked.
    // `subfolder`: where a file found in a folder's tree was, under the folder added ("2024\\05").
    bool Add(const std::string& path, int mediaSeconds, const std::string& subfolder = {});
    bool Remove(int row) { return RemoveRows({row}); }
    // Removes the given rows (indexes in any order); false when locked.
    bool RemoveRows(std::vector<int> rows);
    bool RemoveFinished() { return RemoveRows(FinishedRows()); }
    // A failed row goes back to "Pending", to run with the next batch.
    bool Retry(int row);
    void Lock(bool locked) { locked_ = locked; }
    bool Locked() const { return locked_; }

    RowId IdAt(int row) const { return At(row).id; }
    // The row that has the id now; -1 when it is gone.
    int IndexOf(RowId id) const;
    const std::string& Path(int row) const { return At(row).path; }
    const std::string& Subfolder(int row) const { return At(row).subfolder; }
    // The input's duration, in whole seconds and one more.
    int MediaSeconds(int row) const { return At(row).seconds; }
    queue::RowState State(int row) const { return At(row).state; }
    // What the progress column shows: "Pending", "42% Done", "42% (paused)", "Done" or "Failed".
    std::string StateText(int row) const;
    // Why a failed row failed, or why a done row's file has another name; empty for the others.
    const std::string& Reason(int row) const { return At(row).reason; }
    // The file a done row was converted into.
    const std::string& Output(int row) const { return At(row).output; }
    // The first pending row from `from` on, top to bottom; -1 when there is none.
    int NextPending(int from = 0) const;
    // The rows in that state, top to bottom.
    std::vector<int> RowsIn(queue::RowState state) const;
    // The rows whose file is there, converted or skipped, top to bottom.
    std::vector<int> FinishedRows() const;

    // The batch's steps; they change a row's state, never the rows themselves.
    // A row's encoder has started: the row still shows "Pending" until it is measured.
    void Start(int row);
    // "N% Done" for the output measured against the size expected.
    void ShowProgress(int row, std::int64_t size, std::int64_t expectedSize);
    // "Done" and "MPG": the file written, and why it has another name than the one meant.
    void Finish(int row, const std::string& output, const std::string& note = {});
    // "Skipped" and "MPG": the converted file exists from an earlier run, and is kept.
    void Skip(int row, const std::string& existing);
    // "Failed" (drawn red), the reason kept beside the row.
    void Fail(int row, const std::string& reason);
    // A conversion stopped halfway: "Pending" again.
    void Stopped(int row);
    // A paused conversion: "42% (paused)" until it is measured again.
    void ShowPaused(int row);

private:
    struct Row {
        RowId id = 0;
        std::string path;
        std::string subfolder;
        int seconds = 0;
        queue::RowState state = queue::RowState::Pending;
        std::optional<int> percent;  // a conversion's share, once measured
        bool paused = false;
        std::string reason;
        std::string output;
    };
    const Row& At(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
    Row& At(int row) { return rows_.at(static_cast<std::size_t>(row)); }
    void SetState(int row, queue::RowState state, std::optional<int> percent = std::nullopt, bool paused = false);
    void Tell(Change change, int row) const;
    void Changed() const;

    std::vector<Row> rows_;
    RowId nextId_ = 1;
    bool locked_ = false;
};
