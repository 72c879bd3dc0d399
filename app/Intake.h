// TIntake: what comes into the queue. A file chosen, the files of a folder, and items dropped
// or handed over (kept while a burst lasts or a batch runs), each probed for its media seconds
// and queued by one rule; and the rows a crashed copy left behind, offered again.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/AppLogic.h"
#include "app/Events.h"
#include "framework/OneShot.h"
#include "queue/Queue.h"

class DurationProbe;

namespace app {

// What a folder holds, found before it is queued (Intake.cpp).
struct FoundFiles;

// What the intake takes from its owner.
struct TIntakeSetup {
    // The media tool's path, once the tools are there (the call may wait for them).
    std::function<std::string()> mediaTool{};
    // Whether a batch converts: the queue does not change then.
    std::function<bool()> busy{};
    // Whether a folder brings the files of its subfolders too.
    std::function<bool()> subfolders{};
    std::string tempFolder{};  // where the tool's answers are written, with a final backslash
    // A media tool that has not answered by then never will: the file gets no answer.
    DWORD probeTimeLimitMs = 60000;
};

class TIntake {
public:
    TIntake(TQueue& queue, const TSessionEvents& events, TIntakeSetup setup);
    TIntake(const TIntake&) = delete;
    TIntake& operator=(const TIntake&) = delete;

    // A file chosen with "Add MP4 File": probed and queued, or a message says why not.
    void AddChosenFile(const std::string& path);
    // The MP4 files of a folder (of its whole tree, with the setting Subfolders), probed in
    // groups, in the finder's order, up to the first file without an answer (its message is
    // told; in a tree it is named with the rest) or a stop. False when the user stopped it.
    // The folders of the tree that could not be read and the links not followed are named in
    // one message once the rest is added.
    bool AddFolder(const std::string& folder);
    // Dropped or handed-over items in their order: MP4 files as one is chosen, folders as
    // "Add Folder" takes them; one message lists what was passed over.
    void AddItems(const std::vector<std::string>& items);
    // Items dropped, handed over or on the command line, kept and queued as AddItems takes
    // them once a burst of them has been quiet for a moment (or has gone on for a second),
    // when no dialog of the window's is open. During a batch they wait for its end, said
    // once for each file.
    void Hand(const std::vector<std::string>& items);
    // After a batch: what was handed over meanwhile is queued, as a burst's items are once
    // no dialog of the window's is open.
    void BatchEnded() { burst_.Arm(0); }
    // The media seconds of a file, or none when the media tool gave no answer in time.
    std::optional<int> ProbeDuration(const std::string& path) { return Probe(path, setup_.probeTimeLimitMs); }
    // After a crash: offers the rows that the copy which crashed had not done, from the texts it kept.
    void OfferLeftBehindRows(const std::vector<std::string>& leftBehind);
    // The folder "Add Folder" (or a drop) last queued, and the file last queued on its own.
    const std::string& LastFolder() const { return lastFolder_; }
    const std::string& LastFile() const { return lastFile_; }

private:
    // Probed and queued; false with the message already chosen by the caller's rule.
    enum class Added { Yes, OutsideCodePage, NoAnswer, NotDownloaded };
    Added AddFile(const std::string& path);
    // The files of a folder (its tree where asked), found but not yet queued.
    FoundFiles FindIn(const std::string& folder) const;
    // A folder's files as found, what was passed over going to `refused`; false when the user
    // stopped it.
    bool AddFolderTo(const std::string& folder, FoundFiles found, std::vector<RefusedItem>& refused);
    // Each folder of a drop walked (`folders`, at the items' places) before any file is read,
    // so that the drop's online-only files are counted and asked about once; false when the
    // user stopped it.
    bool FindDropped(const std::vector<std::string>& items, std::vector<FoundFiles>& folders);
    // Probes the files and queues them in order; `tree`: the folder whose tree they came from.
    bool ProbeAndAdd(const std::vector<std::string>& files, const std::vector<bool>& online, const std::string& tree,
                     std::vector<RefusedItem>& refused);
    std::optional<int> Probe(const std::string& path, DWORD timeLimitMs);
    void QueueWaitingItems();
    // Whether files whose data is online only may be read (and so downloaded): asked once a burst.
    bool MayDownload(std::size_t files, std::int64_t bytes);

    TQueue& queue_;
    const TSessionEvents& events_;
    TIntakeSetup setup_;
    std::string lastFolder_, lastFile_;
    std::vector<std::string> waiting_;
    DWORD burstStart_ = 0;              // when the first of the items waiting came
    fw::TOneShot burst_;                // the end of the burst, or of a dialog open at its end
    std::size_t announcedWaiting_ = 0;  // items already said to wait for the batch's end
    std::optional<bool> download_;      // the answer of this burst on online-only files
};

}  // namespace app
