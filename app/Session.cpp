// TSession: its start (folders, settings, the rows a crash left), the tools, the batch and
// its end.
#include "app/Session.h"

#include <algorithm>
#include <utility>

#include "app/AppLogic.h"
#include "convert/EncoderArgs.h"
#include "convert/FitLogic.h"
#include "convert/Outputs.h"
#include "convert/SlotFiles.h"
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

// The program's folder under the user's documents: the output folder until one is chosen.
std::string DefaultOutputFolder()
{
    return ProgramFolderUnder(GetPersonalFolder(), fw::IsLeadByte);
}

// What the window shows of the program's folders: the temporary folder, and the output folder
// kept in the settings or else the default. Nothing is made or written before the window shows.
TFolders ShownFolders(const TSettings& settings)
{
    TFolders folders;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    folders.temp = fw::Narrow(temp);
    folders.output = settings.OutputFolder() ? *settings.OutputFolder() : DefaultOutputFolder();
    return folders;
}

}  // namespace

TSession::TSession(TSessionTunings tunings)
    : tunings_(std::move(tunings)),
      settings_(TSettings::Read()),
      folders_(ShownFolders(settings_)),
      intake_(queue_, events_,
              {.mediaTool = [this] { return WaitForTools(), tools_.mediainfo; },
               .busy = [this] { return Busy(); },
               .subfolders = [this] { return settings_.Choices().subfolders; },
               .tempFolder = folders_.temp,
               .probeTimeLimitMs = tunings_.probeTimeLimitMs})
{
    queue_.OnChange = [this] {
        if (keptRows_) keptRows_->Write(queue::SavedRowsText(queue_.Unfinished()));
    };
    queue_.OnRowChange = [this](TQueue::Change change, int row) {
        if (events_.OnRowChange) events_.OnRowChange(change, row);
    };
    batch_.OnProgress = [this](const convert::BatchProgress& progress) {
        if (events_.OnProgress) events_.OnProgress(convert::ShownProgress(progress, told_, fw::SystemMarks()));
    };
    batch_.OnEnd = [this](const convert::BatchSummary& summary) {
        told_.reset();
        if (events_.OnBatchEnded) events_.OnBatchEnded(convert::BatchEndSaid(summary));
        if (!summary.abandoned) intake_.BatchEnded();  // abandoned: the program ends
    };
}

TSession::~TSession()
{
    events_ = {};
    EndSession();
}

void TSession::Choose(const convert::Choices& choices)
{
    if (Busy()) return;
    settings_.Choose(choices);
    ChoicesChanged(events_);
}

void TSession::Settle()
{
    MakeFolders();
    if (keptRows_) return;
    // What a crashed copy kept is read before this copy keeps its own: a copy that got the
    // crashed one's process id would otherwise empty its file.
    std::vector<std::string> leftBehind = fw::THeldFile::TakeLeftBehind(folders_.app, kKeptRowsPrefix);
    keptRows_ = std::make_unique<fw::THeldFile>(folders_.app, kKeptRowsPrefix);
    queue_.OnChange();
    StageTools();
    intake_.OfferLeftBehindRows(std::move(leftBehind));
}

void TSession::MakeFolders()
{
    if (!folders_.app.empty()) return;
    folders_.app = ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte);
    folders_.outputRecord = ProgramFolderUnder(GetLocalAppDataFolder(), fw::IsLeadByte) + "outputs.txt";
    if (!settings_.OutputFolder()) settings_.SetOutputFolder(folders_.output);
    settings_.SetToolFolder(folders_.app);  // at every start: other programs may look for the tools there
    ForceLastLevel(DefaultOutputFolder());
    ForceLastLevel(folders_.app);
    // The output folder kept in the settings is made again when it has gone, and kept again.
    if (!fw::DirectoryExists(folders_.output)) {
        CreateDirectoryA(folders_.output.c_str(), nullptr);
        settings_.SetOutputFolder(folders_.output);
    }
}

void TSession::StageTools()
{
    if (writer_.Started()) return;
    MakeFolders();
    writer_.Start(folders_.app);
    // Said as soon as the writing ends, whether or not anything waits for the tools.
    fw::Application->WatchHandle(writer_.Thread(), [this] { WaitForTools(); });
}

void TSession::WaitForTools()
{
    if (toolsTaken_) return;
    StageTools();
    if (WaitForSingleObject(writer_.Thread(), 0) == WAIT_TIMEOUT) {
        fw::scope_exit restoreCaption([&] { ShowStatus(events_, {}); });
        ShowStatus(events_, kPreparingTools);
        writer_.Wait();
    }
    if (std::exchange(toolsTaken_, true)) return;  // taken while a message waited
    fw::Application->UnwatchHandle(writer_.Thread());
    const StagedTools& tools = writer_.Wait();
    tools_ = {tools.ffmpegPath, tools.mediainfoPath, tools.encoderFailure, tools.discToolPath};
    if (tools.error) std::rethrow_exception(tools.error);
    if (!tools.firstFailure.empty()) Tell(events_, ToolsNotWrittenMessage(folders_.app, tools.firstFailure));
}

void TSession::UseTools(TToolPaths tools)
{
    WaitForTools();
    tools_ = std::move(tools);
}

void TSession::ChooseOutputFolder(const std::string& folder)
{
    if (Busy()) return;
    settings_.SetOutputFolder(folder);
    folders_.output = folder;
    ChoicesChanged(events_);
}

void TSession::Retry(const std::vector<int>& rows)
{
    for (int row : rows) queue_.Retry(row);
}

void TSession::Start()
{
    WaitForTools();
    if (Busy() || queue_.NextPending() < 0) return;
    const convert::BatchPlan plan = Plan(true);
    convert::Choices choices = settings_.Choices();
    const convert::FitTo& fit = choices.fitTo;
    const bool disc = convert::MakesDisc(choices.disc, choices.target);
    if (disc && plan.files > convert::kDiscMostTitles) return Tell(events_, convert::TooManyTitlesMessage(plan.files));
    if (disc) {
        SYSTEMTIME today{};
        GetLocalTime(&today);
        choices.discName = convert::FolderName(choices.discName, convert::DefaultDiscName(fw::DateText(today)), fw::IsLeadByte);
    }
    // A Video CD's rates are fixed: what a CD takes is counted in discs.
    if (fit.size == convert::FitSize::Cd && !convert::FitApplies(fit, choices.target))
        Tell(events_, convert::VideoCdsMessage(plan.files, plan.seconds));
    if (plan.fitted && plan.fitted->belowFloor &&
        !Ask(events_, convert::BelowFloorQuestion(plan.files, plan.seconds, fit, *plan.fitted) + "\n\nConvert anyway?"))
        return;
    for (const std::string& question : convert::VolumeQuestions(plan.volumes))
        if (!Ask(events_, question)) return;
    batch_.Start({.encoderPath = tools_.ffmpeg,
                  .outputFolder = folders_.output,
                  .logFolder = folders_.temp,
                  .encoderMissing = tools_.encoderFailure,
                  .listFolder = folders_.app,
                  .encoders = settings_.Encoders(),
                  .discTool = tools_.discTool,
                  .choices = choices,
                  .plan = plan,
                  .outputRecord = folders_.outputRecord});
}

convert::BatchPlan TSession::Plan(bool whole) const
{
    // Beside their inputs the outputs may go to several volumes: each is asked, once.
    const convert::Choices& choices = settings_.Choices();
    std::string lastFolder, lastRoot;
    auto place = [&](int row, convert::PlannedRow& planned) {
        planned.output = convert::MeantOutputFor(choices, folders_.output, queue_.Path(row), queue_.Subfolder(row), row + 1);
        const std::string folder = choices.besideInput ? fw::FolderPart(planned.output.path, fw::IsLeadByte) : folders_.output;
        if (folder != lastFolder) lastRoot = fw::VolumeRoot(folder), lastFolder = folder;
        planned.volume = lastRoot;
        planned.input = queue::FileNamePart(queue_.Path(row), fw::IsLeadByte);
    };
    convert::BatchPlan plan = convert::PlanBatch(whole ? convert::PendingRows(queue_, place) : convert::PendingRows(queue_),
                                                 choices.target, choices.quality, choices.fitTo,
                                                 convert::MakesDisc(choices.disc, choices.target));
    for (convert::VolumeNeed& need : plan.volumes) {
        need.free = fw::FreeBytes(need.root);
        need.name = fw::VolumeName(need.root);
        const std::string system = fw::FileSystemOf(need.root);
        need.fat = system == "FAT32" || system == "FAT";
    }
    return plan;
}

std::string TSession::ListCaption() const
{
    std::string caption = kListCaptionText;
    if (!Busy() && queue_.NextPending() >= 0)
        caption += std::string(" ") + fw::SystemMarks().dot + " about " + convert::SizeText(ExpectedBytes());
    return caption;
}

std::string TSession::ChoicesLabel() const
{
    const convert::Choices& chosen = settings_.Choices();
    const std::string dot = std::string(" ") + fw::SystemMarks().dot + " ";
    std::string label = convert::TargetLabel(chosen.target);
    if (chosen.quality == convert::Quality::High) label += dot + "High";
    if (convert::FitApplies(chosen.fitTo, chosen.target)) label += dot + convert::FitLabel(chosen.fitTo);
    return label;
}

std::function<std::string(const std::string& pattern, convert::Target target)> TSession::NameExamples(int row) const
{
    convert::NameFacts sample{row >= 0 ? queue_.Path(row) : "clip.mp4", {}, convert::Target::Mpeg, row >= 0 ? row + 1 : 1};
    sample.modified = fw::ModifiedDate(sample.input);
    if (sample.modified.empty()) {
        SYSTEMTIME today{};
        GetLocalTime(&today);
        sample.modified = fw::DateText(today);
    }
    return [sample](const std::string& pattern, convert::Target target) {
        convert::NameFacts facts = sample;
        facts.target = target;
        return convert::OutputFileName(pattern, facts, fw::IsLeadByte);
    };
}

std::int64_t TSession::ExpectedBytes() const
{
    return Plan(false).bytes;
}

AfterBatch TSession::BatchOver()
{
    return std::exchange(whenBatchEnds_, AfterBatch::Nothing);
}

std::string TSession::OutputFolderOf(int row) const
{
    // The folder the row's file was written to, which "Browse" may have changed since.
    const std::string output = row >= 0 ? queue_.Output(row) : std::string();
    if (output.empty()) return fw::Trim(folders_.output + "\\");
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
    fw::Application->UnwatchHandle(writer_.Thread());
    writer_.Join();
    DeleteLeftovers();
}

void TSession::DeleteLeftovers()
{
    // The tools are staged only once the program's folders are made.
    if (const std::string& app = folders_.app; !app.empty()) {
        // The encoder under the name it was written as, should the writing not have been taken up.
        const std::string encoder = tools_.ffmpeg.empty() ? app + "ffmpeg.exe" : tools_.ffmpeg;
        // An earlier version's runtime libraries and media tool library go with them.
        const std::string paths[] = {encoder, app + "cygwin1.dll", app + "cygz.dll", app + "mediainfo.dll",
                                     app + "mediainfo.exe", app + "fonts\\DejaVuSans.ttf", app + "dvdauthor.exe"};
        for (const std::string& path : paths) DeleteFileA(path.c_str());
        RemoveDirectoryA((app + "fonts").c_str());
    }
    // Each owner's own: the encoders' logs, and the answers of a probe cut short.
    convert::RemoveLogs(folders_.temp);
    DurationProbe::RemoveAnswerFiles(folders_.temp);
}

}  // namespace app
