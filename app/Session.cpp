// TSession: its start (folders, settings, the rows a crash left), the tools, the batch and
// its end.
#include "app/Session.h"

#include <utility>

#include "app/AppLogic.h"
#include "app/Settings.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "framework/handles.h"
#include "framework/text.h"
#include "queue/Probe.h"

namespace app {

namespace {
constexpr const char* kKeptRowsPrefix = "queue";
}  // namespace

TSession::TSession()
{
    FixFoldersAndSettings();
    // What a crashed copy kept is read before this copy keeps its own: a copy that got the
    // crashed one's process id would otherwise empty its file.
    leftBehind_ = fw::THeldFile::TakeLeftBehind(Folders.app, kKeptRowsPrefix);
    keptRows_ = std::make_unique<fw::THeldFile>(Folders.app, kKeptRowsPrefix);
    queue_.OnChange = [this] { keptRows_->Write(queue::SavedRowsText(queue_.Unfinished())); };
    queue_.OnRowChange = [this](TQueue::Change change, int row) {
        if (Events.OnRowChange) Events.OnRowChange(change, row);
    };
    batch_.OnProgress = [this](const convert::BatchProgress& progress) {
        if (Events.OnProgress) Events.OnProgress(progress);
    };
    batch_.OnEnd = [this](const convert::BatchSummary& summary) {
        if (Events.OnBatchEnded) Events.OnBatchEnded(summary);
    };
}

TSession::~TSession()
{
    Events = {};
    EndSession();
}

void TSession::FixFoldersAndSettings()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    Folders.temp = fw::Narrow(temp);
    const std::string defaultOutput = ProgramFolderUnder(GetPersonalFolder(), fw::IsLeadByte);
    Folders.app = ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte);
    settings_ = TSettings::Read();
    if (!settings_.OutputFolder()) settings_.SetOutputFolder(defaultOutput);
    ForceLastLevel(defaultOutput);
    ForceLastLevel(Folders.app);
    // The output folder kept in the settings is made again when it has gone, and kept again.
    Folders.work = *settings_.OutputFolder();
    if (!fw::DirectoryExists(Folders.work)) {
        CreateDirectoryA(Folders.work.c_str(), nullptr);
        settings_.SetOutputFolder(Folders.work);
    }
}

void TSession::ChooseTarget(convert::Target target)
{
    if (Busy()) return;
    settings_.SetTarget(target);
    if (Events.OnFoldersChanged) Events.OnFoldersChanged();
}

void TSession::ChooseIfExists(convert::IfExists choice)
{
    if (Busy()) return;
    settings_.SetIfExists(choice);
}

void TSession::Status(const std::string& text) const
{
    if (Events.OnStatus) Events.OnStatus(text);
}

void TSession::StageTools()
{
    if (writer_.Started()) return;
    writer_.Start(Folders.app);
    // Said as soon as the writing ends, whether or not anything waits for the tools.
    fw::Application->WatchHandle(writer_.Thread(), [this] { WaitForTools(); });
}

void TSession::WaitForTools()
{
    if (toolsTaken_) return;
    StageTools();
    if (WaitForSingleObject(writer_.Thread(), 0) == WAIT_TIMEOUT) {
        fw::scope_exit restoreCaption([&] { Status({}); });
        Status(kPreparingTools);
        writer_.Wait();
    }
    if (std::exchange(toolsTaken_, true)) return;  // taken while a message waited
    fw::Application->UnwatchHandle(writer_.Thread());
    const StagedTools& tools = writer_.Wait();
    Tools = {tools.ffmpegPath, tools.mediainfoPath, tools.encoderFailure};
    if (tools.error) std::rethrow_exception(tools.error);
    if (!tools.firstFailure.empty()) fw::Application->ShowMessage(ToolsNotWrittenMessage(Folders.app, tools.firstFailure));
}

void TSession::OfferLeftBehindRows()
{
    std::vector<queue::SavedRow> rows;
    for (const std::string& text : std::exchange(leftBehind_, {}))
        for (queue::SavedRow& row : queue::ParseSavedRows(text)) rows.push_back(std::move(row));
    if (rows.empty() || !fw::Application->Ask(queue::RestoreQuestion(rows.size()))) return;
    for (const queue::SavedRow& row : rows) queue_.Add(row.path, row.seconds);
}

void TSession::ChooseOutputFolder(const std::string& folder)
{
    if (Busy()) return;
    settings_.SetOutputFolder(folder);
    Folders.work = folder;
    if (Events.OnFoldersChanged) Events.OnFoldersChanged();
}

void TSession::Retry(const std::vector<int>& rows)
{
    for (int row : rows) queue_.Retry(row);
}

void TSession::Start()
{
    WaitForTools();
    batch_.Start({.encoderPath = Tools.ffmpeg,
                  .outputFolder = Folders.work,
                  .logFolder = Folders.temp,
                  .encoderMissing = Tools.encoderFailure,
                  .listFolder = Folders.app,
                  .rateKBps = convert::kOutputRateKBps,
                  .encoders = settings_.Encoders(),
                  .target = settings_.Target(),
                  .ifExists = settings_.IfExists()});
}

AfterBatch TSession::TakeWhenBatchEnds()
{
    return std::exchange(whenBatchEnds_, AfterBatch::Nothing);
}

std::string TSession::OutputFolderOf(int row) const
{
    // The folder the row's file was written to, which "Browse" may have changed since.
    const std::string output = row >= 0 ? queue_.Output(row) : std::string();
    if (output.empty()) return fw::Trim(Folders.work + "\\");
    const std::string folder = fw::FolderPart(output, fw::IsLeadByte);
    return folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
}

std::string TSession::ReasonMessage(int row) const
{
    return queue_.State(row) == queue::RowState::Done
               ? queue_.Reason(row)
               : queue::FailureMessage(queue_.Path(row), queue_.Reason(row), fw::IsLeadByte);
}

void TSession::Close()
{
    // Our own encoders, through their handles, their temporaries removed. Any other
    // encoder, even one started from our staged file by another copy, runs on. The rows
    // kept against a crash go: this is an end the user chose.
    Events = {};
    EndSession();
    keptRows_.reset();
}

void TSession::EndSession()
{
    // Our encoders are ended, so that no half file is left under a temporary name and the
    // staged encoder can be removed; the system may sleep again. The tools' writing is let
    // finish and taken up by nobody.
    batch_.Abandon();
    fw::Application->UnwatchHandle(writer_.Thread());
    writer_.Join();
    DeleteLeftovers();
}

void TSession::DeleteLeftovers()
{
    const std::string& app = Folders.app;
    // The encoder under the name it was written as, should the writing not have been taken up.
    const std::string encoder = Tools.ffmpeg.empty() ? app + "ffmpeg.exe" : Tools.ffmpeg;
    const std::string paths[] = {encoder, app + "cygwin1.dll", app + "cygz.dll", app + "mediainfo.dll",
                                 app + "mediainfo.exe"};
    for (const std::string& path : paths) DeleteFileA(path.c_str());
    // Each owner's own: the encoders' logs, and the answers of a probe cut short.
    convert::TBatch::RemoveLogs(Folders.temp);
    DurationProbe::RemoveAnswerFiles(Folders.temp);
}

}  // namespace app
