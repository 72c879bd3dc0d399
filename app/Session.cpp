// TSession: its start (the settings, the folders once the window shows, the rows a crash
// left), the tools, and its end.
#include "app/Session.h"

#include <utility>

#include "app/AppLogic.h"
#include "app/ExplorerVerb.h"
#include "app/Settings.h"
#include "batch/SlotFiles.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/handles.h"
#include "framework/text.h"
#include "queue/Probe.h"

namespace app {

namespace {
constexpr const char* kKeptRowsPrefix = "queue";

// The program's folder under the user's documents: the output folder until one is chosen.
std::string DefaultOutputFolder()
{
    return ProgramFolderUnder(GetPersonalFolder(), fw::IsLeadByte);
}

// What the window shows of the program's folders: the temporary folder, and the output folder
// kept in the settings or else the default. Nothing is made or written before the window shows.
TFolders ShownFolders(const TSettings& settings, const RunRequest& run)
{
    TFolders folders;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    folders.temp = fw::Narrow(temp);
    folders.output = run.outputFolder ? fw::FullPath(*run.outputFolder)
                     : settings.OutputFolder() ? *settings.OutputFolder() : DefaultOutputFolder();
    folders.outputForThisRun = run.outputFolder.has_value();
    return folders;
}

}  // namespace

TSession::TSession(TSessionTunings tunings, const RunRequest& run)
    : tunings_(std::move(tunings)),
      settings_(TSettings::Read()),
      folders_(ShownFolders(settings_, run)),
      intake_(queue_, events_,
              {.mediaTool = [this] { return tools_.Wait(), tools_.Paths().mediainfo; },
               .busy = [this] { return Busy(); },
               .subfolders = [this] { return settings_.Choices().subfolders; },
               .tempFolder = folders_.temp,
               .probeTimeLimitMs = tunings_.probeTimeLimitMs})
{
    if (run.HasOptions()) settings_.ChooseForThisRun(run.Over(settings_.Choices()));
    queue_.OnChange = [this] {
        if (keptRows_) keptRows_->Write(queue::SavedRowsText(queue_.Unfinished()));
    };
    queue_.OnRowChange = [this](TQueue::Change change, int row) {
        if (events_.OnRowChange) events_.OnRowChange(change, row);
    };
    batch_.OnProgress = [this](const batch::BatchProgress& progress) {
        if (events_.OnProgress) events_.OnProgress(batch::ShownProgress(progress, told_, fw::SystemMarks()));
    };
    batch_.OnEnd = [this](const batch::BatchSummary& summary) {
        told_.reset();
        if (events_.OnBatchEnded) events_.OnBatchEnded(batch::BatchEndSaid(summary));
        // A notification passes: a disc that is missing, or not as asked, is said to stay.
        if (summary.madeAmiss && !summary.abandoned) Tell(events_, summary.made);
        if (!summary.abandoned) intake_.BatchEnded();  // abandoned: the program ends
    };
}

TSession::~TSession()
{
    events_ = {};
    EndSession();
}

void TSession::Settle()
{
    MakeFolders();
    if (keptRows_) return;
    // What a crashed copy kept is read before this copy keeps its own: a copy that got the
    // crashed one's process id would otherwise empty its file.
    const std::vector<std::string> leftBehind = fw::THeldFile::TakeLeftBehind(folders_.app, kKeptRowsPrefix);
    keptRows_ = std::make_unique<fw::THeldFile>(folders_.app, kKeptRowsPrefix);
    queue_.OnChange();
    tools_.Stage();
    // Each start points the Explorer verb at the program that runs: a moved program keeps it.
    if (settings_.ExplorerVerb()) WriteExplorerVerb(fw::ProgramPath());
    intake_.OfferLeftBehindRows(leftBehind);
}

void TSession::MakeFolders()
{
    if (!folders_.app.empty()) return;
    folders_.app = ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte);
    folders_.outputRecord = ProgramFolderUnder(GetLocalAppDataFolder(), fw::IsLeadByte) + "outputs.txt";
    // The command line's output folder is this run's alone: made where it is not, never kept.
    const bool kept = !folders_.outputForThisRun;
    if (kept && !settings_.OutputFolder()) settings_.SetOutputFolder(folders_.output);
    settings_.SetToolFolder(folders_.app);  // at every start: other programs may look for the tools there
    ForceLastLevel(DefaultOutputFolder());
    ForceLastLevel(folders_.app);
    // The output folder kept in the settings is made again when it has gone, and kept again.
    if (!fw::DirectoryExists(folders_.output)) {
        CreateDirectoryA(folders_.output.c_str(), nullptr);
        if (kept) settings_.SetOutputFolder(folders_.output);
    }
}

void TSession::Close()
{
    // Our own encoders, through their handles, their temporaries removed. Any other
    // encoder, even one started from our staged file by another copy, runs on. The rows
    // kept against a crash go: this is an end the user chose.
    events_ = {};
    EndSession();
    keptRows_.reset();
}

void TSession::EndSession()
{
    // Our encoders are ended, so that no half file is left under a temporary name and the
    // staged encoder can be removed; the system may sleep again. The tools' writing is let
    // finish and taken up by nobody.
    batch_.Abandon();
    DeleteLeftovers();
}

void TSession::DeleteLeftovers()
{
    tools_.Remove();
    // Each owner's own: the encoders' logs, and the answers of a probe cut short.
    batch::RemoveLogs(folders_.temp);
    DurationProbe::RemoveAnswerFiles(folders_.temp);
}

}  // namespace app
