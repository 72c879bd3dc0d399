// TSession: the program without its window. It holds the settings, the folders, the staged
// tools, the queue, the intake that fills it, the batch that converts it, the rows kept
// against a crash and what follows a batch; it offers the program's actions as calls and
// tells and asks through events, which the window follows to show it.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Events.h"
#include "app/Intake.h"
#include "app/Settings.h"
#include "app/Tools.h"
#include "batch/Batch.h"
#include "framework/HeldFile.h"
#include "queue/Queue.h"

namespace app {

// What follows the next batch's end; it applies once, then goes back to Nothing.
enum class AfterBatch { Nothing, Sleep, ShutDown, OpenFolder };
// The system's own sleep or shutdown: empty, or why it refused.
std::string SystemPowerDown(AfterBatch what);
// How this computer sleeps: suspended (S3); by turning its display off (Modern Standby,
// which the system enters once the display is off); or not at all.
enum class SleepKind { Suspend, DisplayOff, None };
SleepKind SystemSleepKind();

// Where the program keeps things: the output folder chosen with "Browse"; the others fixed at
// start, the tool folder and the record once the window shows (TSession::Settle).
struct TFolders {
    std::string temp;  // the system's temporary folder, with a final backslash
    std::string output;  // the output folder
    std::string app;   // the tool folder, with a final backslash
    std::string outputRecord;  // the record of the outputs saved, in the local application data
    bool outputForThisRun = false;  // the output folder is the command line's, not kept
};

// The session's limits and the system's power call, which a test shortens or stands in for.
struct TSessionTunings {
    // A media tool that has not answered by then never will: the file gets no answer.
    DWORD probeTimeLimitMs = 60000;
    // The seconds the notice before sleep or shutdown counts down.
    int countdownSeconds = 30;
    // Puts the system to sleep or shuts it down: empty, or why the system refused.
    std::function<std::string(AfterBatch)> powerDown = &SystemPowerDown;
};

// The list's caption of its own.
inline constexpr const char* kListCaptionText = "Files to convert (DEL to remove selected file from the list)";

// What the convert button makes, as the label under it says: the target, with the quality
// when it is high and the size the batch is fitted to ("DVD PAL · High · 4.7 GB").
std::string ChoicesLabel(const batch::Choices& chosen);

class TSession {
public:
    // Reads the settings and what the window shows of the folders, with the command line's
    // options over them for this run only; the rest waits for Settle.
    explicit TSession(TSessionTunings tunings = {}, const RunRequest& run = {});
    // A normal end: a batch in the middle is abandoned and the program's files removed.
    ~TSession();
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    // What the session tells and asks goes to these from now on.
    void Listen(TSessionEvents events) { events_ = std::move(events); }
    const TFolders& Folders() const { return folders_; }
    const TSessionTunings& Tunings() const { return tunings_; }
    // The parts the window works with, each reached this one way: the rows (removed,
    // retried); adding files and folders, and the rows a crash left; the batch (stopped,
    // paused); the tools (waited for where an action needs them).
    TQueue& Queue() { return queue_; }
    const TQueue& Queue() const { return queue_; }
    TIntake& Intake() { return intake_; }
    batch::TBatch& Batch() { return batch_; }
    TTools& Tools() { return tools_; }
    // The one question whether the queue may change: not while a batch converts.
    bool Busy() const { return batch_.Running(); }

    // Once the window shows, and nothing written before: the program's folders made and
    // written down, the rows a crashed copy kept offered, this copy's own kept from now on,
    // and the tools staged. Once only.
    void Settle();

    // ---- the rows and the batch ----
    // The output folder chosen with "Browse", kept in the settings.
    void ChooseOutputFolder(const std::string& folder);
    // What the user chose for the batches (the settings' Choices: what the convert button
    // makes, its quality, the size it fits, the outputs' names and places), kept in the
    // settings; not changed while a batch runs.
    void Choose(const batch::Choices& choices);
    // What the pending rows' outputs will take together, as far as it is known before the start.
    std::int64_t ExpectedBytes() const;
    // The caption above the list when no action says what it does: kListCaptionText, with
    // what the pending rows will take while no batch runs.
    std::string ListCaption() const;
    // The output's name a pattern gives for a target, the input being the row's (or a sample
    // "clip.mp4" for none: -1), its facts read once.
    std::function<std::string(const std::string& pattern, encode::Target target)> NameExamples(int row) const;
    // The values kept in the registry, as read at start and changed since.
    const TSettings& Settings() const { return settings_; }
    // "Convert with Mervane" in Explorer for this program, or not; kept in the settings.
    void ShowInExplorer(bool shown);
    // Converts the pending rows, once the user has agreed where they need a lower quality than
    // the disc they are fitted to should have, or more room than the output folder's volume has.
    void Start();
    // What follows the next batch's end, chosen for it alone: once the window is back from
    // that end, it takes the choice and leaves Nothing for the next.
    AfterBatch& WhenBatchEnds() { return whenBatchEnds_; }
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
    // The tool folder and the record under the user's folders, the output folder made again
    // where it has gone; each written down. Once only.
    void MakeFolders();
    void DeleteLeftovers();

    TSessionTunings tunings_;
    TSessionEvents events_;
    TSettings settings_;
    TFolders folders_;
    TQueue queue_;
    batch::TBatch batch_{queue_};
    // The batch's progress as screen readers were last told it; none outside a batch.
    std::optional<batch::BatchFacts> told_;
    std::unique_ptr<fw::THeldFile> keptRows_;
    TIntake intake_;
    TTools tools_{[this] { return MakeFolders(), folders_.app; }, events_};
    AfterBatch whenBatchEnds_ = AfterBatch::Nothing;
};

}  // namespace app
