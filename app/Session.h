// TSession: the program without its window. It owns the folders and settings, the staged
// tools, the queue and the batch, the rows kept against a crash, the items waiting to be
// queued and what follows a batch; it offers the program's actions as calls and tells what
// changed through events, which the window follows to show it.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "app/Staging.h"
#include "convert/Batch.h"
#include "framework/HeldFile.h"
#include "queue/Queue.h"

class DurationProbe;

namespace app {

// What follows the next batch's end; it applies once, then goes back to Nothing.
enum class AfterBatch { Nothing, Sleep, ShutDown, OpenFolder };
// The system's own sleep or shutdown: empty, or why it refused.
std::string SystemPowerDown(AfterBatch what);
// How this computer sleeps: suspended (S3); by turning its display off (Modern Standby,
// which the system enters once the display is off); or not at all.
enum class SleepKind { Suspend, DisplayOff, None };
SleepKind SystemSleepKind();

// Where the program keeps things: fixed at start, the output folder chosen with "Browse".
struct TFolders {
    std::string temp;        // the system's temporary folder, with a final backslash
    std::string work;        // the output folder
    std::string app;         // the tool folder, with a final backslash
    std::string lastFolder;  // the folder "Add Folder" (or a drop) last queued
    std::string lastFile;    // the file last queued on its own
};

// The staged tools: short (8.3) paths, and why every file fails when the encoder is missing.
struct TToolPaths {
    std::string ffmpeg;
    std::string mediainfo;
    std::string encoderFailure;
};

// What the session tells; each may be left empty.
struct TSessionEvents {
    // A row came, went or shows another state (the queue's own news).
    std::function<void(TQueue::Change change, int row)> OnRowChange;
    // What the list's caption says while an action works; empty: its own text again.
    std::function<void(const std::string& text)> OnStatus;
    // The folders, the last file queued, or the target or existing-file choice changed.
    std::function<void()> OnFoldersChanged;
    // A batch's progress, and its end.
    std::function<void(const convert::BatchProgress& progress)> OnProgress;
    std::function<void(const convert::BatchSummary& summary)> OnBatchEnded;
};

class TSession {
public:
    // Fixes the folders and settings and takes the rows a crashed copy left behind.
    TSession();
    // A normal end: a batch in the middle is abandoned and the program's files removed.
    ~TSession();
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    TSessionEvents Events;
    TFolders Folders;
    TToolPaths Tools;
    // A media tool that has not answered by then never will: the file gets no answer.
    DWORD ProbeTimeLimitMs = 60000;
    // The seconds the notice before sleep or shutdown counts down.
    int CountdownSeconds = 30;
    // Puts the system to sleep or shuts it down: empty, or why the system refused.
    std::function<std::string(AfterBatch)> PowerDown = &SystemPowerDown;

    const TQueue& Queue() const { return queue_; }
    TQueue& Queue() { return queue_; }
    convert::TBatch& Batch() { return batch_; }
    // The one question whether the queue may change: not while a batch converts.
    bool Busy() const { return batch_.Running(); }

    // ---- the tools ----
    // Starts writing the embedded tools on a thread of their own; once only.
    void StageTools();
    // Waits for the tools where an action needs them, the caption saying so, and takes the
    // writer's result once: the tools' paths, and the message when one was not written.
    void WaitForTools();

    // ---- filling the queue ----
    // A file chosen with "Add MP4 File": probed and queued, or a message says why not.
    void AddChosenFile(const std::string& path);
    // The MP4 files of a folder, probed in groups, in the finder's order, up to the
    // first file without an answer (its message is shown) or an ESC. False when ESC stopped it.
    bool AddFolder(const std::string& folder);
    // Dropped or handed-over items in their order: MP4 files as one is chosen, folders as
    // "Add Folder" takes them; one message lists what was passed over.
    void AddItems(const std::vector<std::string>& items);
    // Keeps items to be queued once the window is free; returns in how many milliseconds to
    // call QueueWaitingItems: a burst of drops and hand-overs is taken as one.
    unsigned KeepItems(const std::vector<std::string>& items);
    // Queues what waits, or, during a batch, says once for each file that it waits for its end.
    void QueueWaitingItems();
    bool ItemsWaiting() const { return !waiting_.empty(); }
    // The media seconds of a file, or none when the media tool gave no answer.
    std::optional<int> ProbeDuration(const std::string& path);
    // After a crash: offers the rows that the copy which crashed had not done.
    void OfferLeftBehindRows();

    // ---- the rows and the batch ----
    // The output folder chosen with "Browse", kept in the settings.
    void ChooseOutputFolder(const std::string& folder);
    // What the convert button makes, and what it does with a converted file from an earlier
    // run; kept in the settings, and not changed while a batch runs.
    convert::Target Target() const { return settings_.Target(); }
    void ChooseTarget(convert::Target target);
    convert::IfExists IfExists() const { return settings_.IfExists(); }
    void ChooseIfExists(convert::IfExists choice);
    // The values kept in the registry, as read at start and changed since.
    const TSettings& Settings() const { return settings_; }
    void RemoveRows(const std::vector<int>& rows) { queue_.RemoveRows(rows); }
    void RemoveFinished() { queue_.RemoveRows(queue_.FinishedRows()); }
    void Retry(const std::vector<int>& rows);
    // Converts the pending rows.
    void Start();
    void StopAfterRunning() { batch_.StopAfterRunning(); }
    void StopNow() { batch_.StopNow(); }
    bool Paused() const { return batch_.Paused(); }
    // Pauses a running batch, or lets a paused one go on.
    void PauseOrResume() { batch_.Paused() ? batch_.Resume() : batch_.Pause(); }
    AfterBatch WhenBatchEnds() const { return whenBatchEnds_; }
    void SetWhenBatchEnds(AfterBatch choice) { whenBatchEnds_ = choice; }
    // The choice for the batch that has just ended; the next one starts with Nothing.
    AfterBatch TakeWhenBatchEnds();
    // The folder a row's "MPG" opens: where its file was written, else (or for no row, -1)
    // the output folder.
    std::string OutputFolderOf(int row) const;
    // What a click on "Failed", or on a "Done" with a note, says.
    std::string ReasonMessage(int row) const;

    // ---- the end ----
    // The close button: our encoders end, the kept rows and the program's files go.
    void Close();
    // Log-off or shutdown: our encoders end and the program's files go.
    void EndSession();

private:
    void FixFoldersAndSettings();
    // Probed and queued; false with the message already chosen by the caller's rule.
    enum class Added { Yes, OutsideCodePage, NoAnswer };
    Added AddFile(const std::string& path);
    std::optional<int> ReadProbeAnswer(DurationProbe& probe);
    void DeleteLeftovers();
    void Status(const std::string& text) const;

    TQueue queue_;
    convert::TBatch batch_{queue_};
    TToolWriter writer_;
    bool toolsTaken_ = false;
    std::vector<std::string> leftBehind_;  // the texts of the rows a crashed copy kept
    std::unique_ptr<fw::THeldFile> keptRows_;
    std::vector<std::string> waiting_;
    DWORD burstStart_ = 0;            // when the first of the items waiting came
    std::size_t announcedWaiting_ = 0;  // items already said to wait for the batch's end
    AfterBatch whenBatchEnds_ = AfterBatch::Nothing;
    TSettings settings_;
};


}  // namespace app
