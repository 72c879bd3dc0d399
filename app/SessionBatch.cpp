// TSession's rows and batch: the choices, the plan and the start, and what the window shows
// of them.
#include "app/Session.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "app/ExplorerVerb.h"
#include "encode/EncoderArgs.h"
#include "encode/EncoderRun.h"
#include "encode/FitLogic.h"
#include "encode/Join.h"
#include "batch/Outputs.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Launcher.h"
#include "framework/Unicode.h"
#include "framework/text.h"

namespace app {

namespace {

batch::MadeAsOne MadeOf(const batch::Choices& choices)
{
    // Its menu's pages count where it will have one: the files are its titles, or a joined title's chapters.
    if (disc::MakesDisc(choices.disc, choices.target)) return choices.discMenu == disc::DiscMenu::Titles ? batch::MadeAsOne::DiscWithMenu : batch::MadeAsOne::Disc;
    return choices.join ? batch::MadeAsOne::JoinedFile : batch::MadeAsOne::Nothing;
}

// The batch the pending rows make now: with `whole`, each row's output named and each volume
// that receives one asked for its room and file system, as the start needs them; without,
// their seconds and sizes alone, as the caption needs them.
batch::BatchPlan PlanOf(const TQueue& queue, const TFolders& folders, const batch::Choices& choices, bool whole)
{
    // Beside their inputs the outputs may go to several volumes: each is asked, once; the
    // disc goes to the output folder's.
    std::string lastFolder, lastRoot;
    auto place = [&](int row, batch::PlannedRow& planned) {
        planned.output = batch::MeantOutputFor(choices, folders.output, queue.Path(row), queue.Subfolder(row), row + 1);
        const std::string folder = choices.besideInput ? fw::FolderPart(planned.output.path, fw::IsLeadByte) : folders.output;
        if (folder != lastFolder) lastRoot = fw::VolumeRoot(folder), lastFolder = folder;
        planned.volume = lastRoot;
        planned.input = queue::FileNamePart(queue.Path(row), fw::IsLeadByte);
    };
    batch::BatchPlan plan = batch::PlanBatch(whole ? batch::PendingRows(queue, place) : batch::PendingRows(queue),
                                                 choices.target, choices.quality, choices.fitTo,
                                                 MadeOf(choices), whole ? fw::VolumeRoot(folders.output) : std::string());
    for (encode::VolumeNeed& need : plan.volumes) {
        need.free = fw::FreeBytes(need.root);
        need.name = fw::VolumeName(need.root);
        need.fat = fw::IsFatVolume(need.root);
    }
    return plan;
}

// A disc's limits, asked of before its start: more titles than a DVD holds are refused, and a
// disc larger than a DVD without a size to fit is fitted to one for this batch (`replan` then
// plans it anew), made as it is, or not made. False where it is not to start.
bool SettleDisc(const TSessionEvents& events, batch::Choices& choices, batch::BatchPlan& plan, const std::function<batch::BatchPlan()>& replan)
{
    if (plan.files > disc::kDiscMostTitles) return Tell(events, disc::TooManyTitlesMessage(plan.files)), false;
    const encode::FitTo dvd = encode::DiscFit(encode::FitSize::Dvd);
    if (encode::FitApplies(choices.fitTo, choices.target) || plan.discBytes <= dvd.bytes) return true;
    const std::optional<bool> fitIt = AskOrCancel(events, encode::LargeDiscQuestion(plan.discBytes, dvd));
    if (fitIt && *fitIt) choices.fitTo = dvd, plan = replan();
    return fitIt.has_value();
}

// The inputs from `from` on described in one run of the encoder, into `facts`: how many it
// read, which stops at the first it cannot open; all of them where it could not run.
std::size_t DescribeFrom(const std::vector<std::string>& inputs, std::size_t from, const std::string& encoder, const std::string& log,
                         std::vector<std::optional<encode::InputFacts>>& facts)
{
    const std::vector<std::string> rest(inputs.begin() + static_cast<std::ptrdiff_t>(from), inputs.end());
    fw::StartError error;
    fw::unique_handle process = fw::StartWithoutConsole(encoder, encode::DescribeAllArguments(rest).Line(), {log, true}, error);
    if (!process) return rest.size();
    if (WaitForSingleObject(process.get(), 30000) == WAIT_TIMEOUT) TerminateProcess(process.get(), 1), WaitForSingleObject(process.get(), 5000);
    fw::WaitUntilReleased(log);
    const std::vector<std::string> lines = encode::LogLines(log);
    DeleteFileW(fw::WidePath(log).c_str());
    const std::vector<std::optional<encode::InputFacts>> each = encode::EachInputFacts(lines, rest.size());
    std::copy(each.begin(), each.end(), facts.begin() + static_cast<std::ptrdiff_t>(from));
    return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Input #", 0) == 0; }));
}

// A joined disc's one title, from its files described before the first is converted (a short
// wait: the encoder reads each file's header, a run for all of them, and one more after each
// it cannot open).
encode::TitleShape OneTitleOf(const TQueue& queue, const std::string& encoder, const std::string& logFolder)
{
    std::vector<std::string> inputs;
    std::vector<double> seconds;
    for (int row = queue.NextPending(); row >= 0; row = queue.NextPending(row + 1))
        inputs.push_back(fw::ExtendedPath(queue.Path(row))), seconds.push_back(queue.MediaSeconds(row));
    const std::string log = logFolder + "mervane-title-" + std::to_string(GetCurrentProcessId()) + ".log";
    std::vector<std::optional<encode::InputFacts>> facts(inputs.size());
    for (std::size_t from = 0; from < inputs.size();) from += DescribeFrom(inputs, from, encoder, log, facts) + 1;
    return encode::TitleShapeOf(facts, seconds);
}

}  // namespace


void TSession::Choose(const batch::Choices& choices)
{
    if (Busy()) return;
    settings_.Choose(choices);
    ChoicesChanged(events_);
}

void TSession::ShowInExplorer(bool shown)
{
    settings_.SetExplorerVerb(shown);
    if (shown) WriteExplorerVerb(fw::ProgramPath());
    else RemoveExplorerVerb();
}

void TSession::ChooseOutputFolder(const std::string& folder)
{
    if (Busy()) return;
    settings_.SetOutputFolder(folder);
    folders_.output = folder;
    folders_.outputForThisRun = false;
    ChoicesChanged(events_);
}

void TSession::Start()
{
    tools_.Wait();
    if (Busy() || queue_.NextPending() < 0) return;
    batch::Choices choices = settings_.Choices();
    batch::BatchPlan plan = PlanOf(queue_, folders_, choices, true);
    const encode::FitTo& fit = choices.fitTo;
    const bool disc = disc::MakesDisc(choices.disc, choices.target);
    if (disc && !SettleDisc(events_, choices, plan, [&] { return PlanOf(queue_, folders_, choices, true); })) return;
    if (disc || choices.join)
        choices.discName = batch::FolderName(choices.discName, (disc ? disc::DefaultDiscName : encode::DefaultJoinedName)(fw::TodayText()), fw::IsLeadByte);
    // A Video CD's rates are fixed: what a CD takes is counted in discs.
    if (fit.size == encode::FitSize::Cd && !encode::FitApplies(fit, choices.target))
        Tell(events_, encode::VideoCdsMessage(plan.files, plan.seconds));
    if (plan.fitted && plan.fitted->belowFloor &&
        !Ask(events_, encode::BelowFloorQuestion(plan.files, plan.seconds, fit, *plan.fitted) + "\n\nConvert anyway?"))
        return;
    for (const std::string& question : encode::VolumeQuestions(plan.volumes))
        if (!Ask(events_, question)) return;
    const TToolPaths& tools = tools_.Paths();
    batch_.Start({.encoderPath = tools.ffmpeg,
                  .outputFolder = folders_.output,
                  .logFolder = folders_.temp,
                  .encoderMissing = tools.encoderFailure,
                  .listFolder = folders_.app,
                  .encoders = settings_.Encoders(),
                  .discTool = tools.discTool,
                  .menuTool = tools.menuTool,
                  .font = tools.font,
                  .choices = choices,
                  .plan = plan,
                  .title = !choices.join ? std::nullopt : std::optional(disc ? OneTitleOf(queue_, tools.ffmpeg, folders_.temp) : encode::TitleShape{}),
                  .outputRecord = folders_.outputRecord});
}

std::string TSession::ListCaption() const
{
    std::string caption = kListCaptionText;
    if (!Busy() && queue_.NextPending() >= 0)
        caption += std::string(" ") + fw::SystemMarks().dot + " about " + encode::SizeText(ExpectedBytes());
    return caption;
}

std::int64_t TSession::ExpectedBytes() const
{
    return PlanOf(queue_, folders_, settings_.Choices(), false).bytes;
}

std::string ChoicesLabel(const batch::Choices& chosen)
{
    const std::string dot = std::string(" ") + fw::SystemMarks().dot + " ";
    std::string label = encode::TargetLabel(chosen.target);
    if (chosen.quality == encode::Quality::High) label += dot + "High";
    if (encode::FitApplies(chosen.fitTo, chosen.target)) label += dot + encode::FitLabel(chosen.fitTo);
    return label;
}

std::function<std::string(const std::string& pattern, encode::Target target)> TSession::NameExamples(int row) const
{
    batch::NameFacts sample{row >= 0 ? queue_.Path(row) : "clip.mp4", {}, encode::Target::Mpeg, row >= 0 ? row + 1 : 1};
    sample.modified = fw::ModifiedDate(sample.input);
    if (sample.modified.empty()) sample.modified = fw::TodayText();
    return [sample](const std::string& pattern, encode::Target target) {
        batch::NameFacts facts = sample;
        facts.target = target;
        return batch::OutputFileName(pattern, facts, fw::IsLeadByte);
    };
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

}  // namespace app
