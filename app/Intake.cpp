// TIntake: filling the queue. A file chosen, the files of a folder, and items dropped or
// handed over, each probed for its duration and queued by one rule.
#include "app/Intake.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "app/AppLogic.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Launcher.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "queue/FindFile.h"
#include "queue/GroupedProbes.h"
#include "queue/Probe.h"

namespace app {

namespace {

// Above this many files, the caption over the list says which one is being read.
constexpr std::size_t kShowProgressAbove = 3;
// A burst (the copies that Explorer starts for the items selected, one each, and that start
// over several seconds when there are dozens; drops in a row) is taken as one, with one
// message, once it has been quiet for half a second, or has gone on for ten.
constexpr DWORD kBurstQuietMs = 500, kBurstMostMs = 10000;
// Items that came while a dialog of the window's is open wait for it: tried again so often.
constexpr DWORD kRetryWhileDialogMs = 300;

}  // namespace

// What the finder found in a folder or its tree; empty once the user stopped it.
struct FoundFiles {
    std::vector<std::string> files;
    std::vector<bool> online;  // for each file, whether its data is online only
    std::int64_t onlineBytes = 0;
    std::vector<RefusedItem> passed;  // folders that could not be read, links not followed
    bool stopped = false;
    bool tree = false;  // found in the folder's tree
    std::size_t Online() const { return static_cast<std::size_t>(std::count(online.begin(), online.end(), true)); }
};

namespace {

FoundFiles FolderFiles(const std::string& folder, bool tree, const TSessionEvents& events)
{
    TFindFile finder(nullptr);
    finder.Filter = "*.mp4";
    finder.Directory = folder;
    finder.Recurse = tree;
    bool stopped = false;
    auto showFound = [&](int folders) {
        const fw::TextMarks marks = fw::SystemMarks();
        ShowStatus(events, std::string("Looking for MP4 files") + marks.ellipsis + " " + std::to_string(finder.Files.size()) +
                               " found in " + std::to_string(folders) + " folders");
    };
    if (tree)
        finder.OnNewPath = [&](fw::TComponent*, const std::string&, bool& abort) {
            showFound(finder.FoldersSearched + 1);
            abort = stopped = events.OnStopWanted && events.OnStopWanted();
            fw::AnswerWhileBusy();  // however long the walk, the window is never unanswered
        };
    finder.Execute();
    if (tree && !stopped) showFound(finder.FoldersSearched);
    FoundFiles found;
    found.stopped = stopped;
    found.tree = tree;
    if (stopped) return found;
    found.files = finder.Files;
    found.online.assign(finder.Files.size(), false);
    found.onlineBytes = finder.OnlineBytes;
    for (std::size_t at : finder.OnlineOnly) found.online[at] = true;
    for (const TFindFile::TFolderError& error : finder.Unreadable)
        found.passed.push_back({WithoutLongPrefix(error.folder) + " (" + error.reason + ")", NotAdded::Unreadable});
    for (const std::string& link : finder.Links) found.passed.push_back({WithoutLongPrefix(link), NotAdded::Link});
    return found;
}

// Whether a file's data is online only, and its size.
bool OnlineOnlyFile(const std::string& path, std::int64_t& bytes)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(fw::WidePath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    bytes = static_cast<std::int64_t>(fw::Join64(data.nFileSizeHigh, data.nFileSizeLow));
    return queue::OnlineOnly(data.dwFileAttributes);
}

// Where a file found in a folder's tree was, under that folder: "2024\\05", or empty at its top.
std::string SubfolderOf(const std::string& path, const std::string& given)
{
    const std::string folder = fw::WithFinalBackslash(given);
    const std::string own = fw::FolderPart(path, fw::IsLeadByte);
    return own.size() > folder.size() ? own.substr(folder.size()) : std::string();
}

}  // namespace

TIntake::TIntake(TQueue& queue, const TSessionEvents& events, TIntakeSetup setup)
    : queue_(queue), events_(events), setup_(std::move(setup)), burst_([this] {
          if (waiting_.empty()) return;
          if (events_.OnFreeWanted && !events_.OnFreeWanted()) burst_.Arm(kRetryWhileDialogMs);
          else QueueWaitingItems();
      })
{
}

TIntake::Added TIntake::AddFile(const std::string& path)
{
    // The name first: a name the code page cannot hold names no file that exists.
    if (queue::NameOutsideCodePage(path)) return Added::OutsideCodePage;
    std::int64_t bytes = 0;
    const bool online = OnlineOnlyFile(path, bytes);
    if (online && !MayDownload(1, bytes)) return Added::NotDownloaded;
    fw::scope_exit restoreCaption([&] {
        if (online) ShowStatus(events_, {});
    });
    if (online) ShowStatus(events_, DownloadingCaption(queue::FileNamePart(path, fw::IsLeadByte)));
    const std::optional<int> seconds = Probe(path, queue::ProbeTimeLimit(online, setup_.probeTimeLimitMs));
    if (!seconds) return Added::NoAnswer;
    lastFile_ = path;
    queue_.Add(path, *seconds);
    ChoicesChanged(events_);
    return Added::Yes;
}

bool TIntake::MayDownload(std::size_t files, std::int64_t bytes)
{
    if (!download_) download_ = Ask(events_, OnlineOnlyQuestion(files, bytes));
    return *download_;
}

void TIntake::AddChosenFile(const std::string& path)
{
    if (setup_.busy()) return;
    download_.reset();
    switch (AddFile(path)) {
    case Added::OutsideCodePage: Tell(events_, queue::NameOutsideCodePageMessage(path, fw::IsLeadByte)); break;
    case Added::NoAnswer: Tell(events_, queue::kNoAnswerSingle); break;
    case Added::Yes: case Added::NotDownloaded: break;
    }
}

bool TIntake::AddFolder(const std::string& folder)
{
    if (setup_.busy()) return true;
    download_.reset();
    std::vector<RefusedItem> refused;
    const bool went = AddFolderTo(folder, FindIn(folder), refused);
    if (!refused.empty()) Tell(events_, NotAddedMessage(refused));
    return went;
}

FoundFiles TIntake::FindIn(const std::string& folder) const
{
    fw::scope_exit restoreCaption([&] { ShowStatus(events_, {}); });
    return FolderFiles(folder, setup_.subfolders && setup_.subfolders(), events_);
}

bool TIntake::AddFolderTo(const std::string& folder, FoundFiles found, std::vector<RefusedItem>& refused)
{
    lastFolder_ = folder;
    ChoicesChanged(events_);
    if (found.stopped) return false;
    fw::scope_exit restoreCaption([&] { ShowStatus(events_, {}); });
    refused.insert(refused.end(), found.passed.begin(), found.passed.end());
    if (const std::size_t online = found.Online(); online > 0 && !MayDownload(online, found.onlineBytes)) {
        std::vector<std::string> kept;
        for (std::size_t i = 0; i < found.files.size(); ++i)
            if (found.online[i]) refused.push_back({queue::FileNamePart(found.files[i], fw::IsLeadByte), NotAdded::OnlineOnly});
            else kept.push_back(found.files[i]);
        found.files = std::move(kept);
        found.online.assign(found.files.size(), false);
    }
    return ProbeAndAdd(found.files, found.online, found.tree ? folder : std::string(), refused);
}

bool TIntake::ProbeAndAdd(const std::vector<std::string>& found, const std::vector<bool>& online, const std::string& tree,
                          std::vector<RefusedItem>& refused)
{
    // Rows go in strictly in the finder's order, whichever group answers first.
    queue::TGroupedProbes groups(found, online, setup_.mediaTool(), setup_.tempFolder, setup_.probeTimeLimitMs);
    for (std::size_t i = 0; i < found.size(); ++i) {
        const std::string& path = found[i];
        const std::string name = queue::FileNamePart(path, fw::IsLeadByte);
        if (queue::NameOutsideCodePage(path)) {
            Tell(events_, queue::NameOutsideCodePageMessage(path, fw::IsLeadByte));
            return true;
        }
        if (online[i]) ShowStatus(events_, DownloadingCaption(name));
        else if (found.size() > kShowProgressAbove) ShowStatus(events_, queue::ReadingCaption(i + 1, found.size(), name));
        // A file its group did not answer is asked alone, under the same time limit.
        std::optional<int> seconds = groups.Seconds(i);
        if (!seconds) seconds = Probe(path, queue::ProbeTimeLimit(online[i], setup_.probeTimeLimitMs));
        // In a tree, such a file (a 0-byte download, a "._" file of a Mac) is named once the
        // rest is added; a folder's own files stop there.
        if (seconds)
            queue_.Add(path, *seconds, tree.empty() ? std::string() : SubfolderOf(path, tree));
        else if (!tree.empty())
            refused.push_back({name, NotAdded::NoAnswer});
        else
            return Tell(events_, queue::NoAnswerInFolderMessage(path, fw::IsLeadByte)), true;
        // ESC between any two files, those not added too: a tree of them can be long.
        if (events_.OnStopWanted && events_.OnStopWanted()) return false;
    }
    return true;
}

bool TIntake::FindDropped(const std::vector<std::string>& items, std::vector<FoundFiles>& folders)
{
    folders.assign(items.size(), {});
    std::size_t online = 0;
    std::int64_t onlineBytes = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string item = WithoutLongPrefix(items[i]);
        std::int64_t bytes = 0;
        if (queue::NameOutsideCodePage(item)) continue;
        if (fw::DirectoryExists(item)) {
            folders[i] = FindIn(item);
            if (folders[i].stopped) return false;
            online += folders[i].Online(), onlineBytes += folders[i].onlineBytes;
        } else if (IsMp4Name(item) && OnlineOnlyFile(item, bytes)) {
            ++online, onlineBytes += bytes;
        }
    }
    if (online > 0) MayDownload(online, onlineBytes);
    return true;
}

void TIntake::AddItems(const std::vector<std::string>& items)
{
    download_.reset();
    std::vector<FoundFiles> folders;
    if (!FindDropped(items, folders)) return;  // ESC ends the whole drop
    std::vector<RefusedItem> refused;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string item = WithoutLongPrefix(items[i]);
        const std::string name = queue::FileNamePart(item, fw::IsLeadByte);
        Added added = Added::Yes;
        if (queue::NameOutsideCodePage(item)) {
            refused.push_back({name, NotAdded::OutsideCodePage});
        } else if (fw::DirectoryExists(item)) {
            if (!AddFolderTo(item, std::move(folders[i]), refused)) break;  // ESC ends the whole drop
        } else if (!fw::FileExists(item)) {
            refused.push_back({name, NotAdded::Missing});
        } else if (!IsMp4Name(item)) {
            refused.push_back({name, NotAdded::NotMp4});
        } else {
            added = AddFile(item);
        }
        if (added == Added::NoAnswer) Tell(events_, queue::NoAnswerInFolderMessage(item, fw::IsLeadByte));
        if (added == Added::NotDownloaded) refused.push_back({name, NotAdded::OnlineOnly});
    }
    if (!refused.empty()) Tell(events_, NotAddedMessage(refused));
}

void TIntake::Hand(const std::vector<std::string>& items)
{
    if (items.empty()) return;
    if (waiting_.empty()) burstStart_ = GetTickCount();
    waiting_.insert(waiting_.end(), items.begin(), items.end());
    burst_.Arm(GetTickCount() - burstStart_ >= kBurstMostMs ? 0 : kBurstQuietMs);
}

void TIntake::QueueWaitingItems()
{
    if (waiting_.empty()) return;
    // During a batch they wait for its end; it is said once for each file.
    if (setup_.busy()) {
        if (announcedWaiting_ >= waiting_.size()) return;
        std::vector<std::string> names;
        for (std::size_t i = announcedWaiting_; i < waiting_.size(); ++i)
            names.push_back(queue::FileNamePart(WithoutLongPrefix(waiting_[i]), fw::IsLeadByte));
        announcedWaiting_ = waiting_.size();
        Tell(events_, AddedAfterConversionMessage(names));
        return;
    }
    announcedWaiting_ = 0;
    AddItems(std::exchange(waiting_, {}));
    if (events_.OnHandedQueued) events_.OnHandedQueued();
}

std::optional<int> TIntake::Probe(const std::string& path, DWORD timeLimitMs)
{
    DurationProbe probe(setup_.mediaTool(), path, setup_.tempFolder + queue::kAnswerFiles[0], timeLimitMs);
    if (!probe.Wait()) return std::nullopt;
    return queue::MediaSecondsFromAnswer(probe.AnswerLines());  // the probe removes the file when it goes
}

void TIntake::OfferLeftBehindRows(const std::vector<std::string>& leftBehind)
{
    std::vector<queue::SavedRow> rows;
    for (const std::string& text : leftBehind)
        for (queue::SavedRow& row : queue::ParseSavedRows(text)) rows.push_back(std::move(row));
    if (rows.empty() || !Ask(events_, queue::RestoreQuestion(rows.size()))) return;
    for (const queue::SavedRow& row : rows) queue_.Add(row.path, row.seconds, row.subfolder);
}

}  // namespace app
