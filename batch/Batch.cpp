// TBatch: several encoders at once, each writing a temporary file that becomes the output
// only when its file is done; its beginning and end, pause, resume and stop, its progress in
// media seconds, and the rate of the next file of a fitted batch.
#include "batch/Batch.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "batch/Conversion.h"
#include "batch/Joiner.h"
#include "disc/DiscMaker.h"
#include "encode/EncoderArgs.h"
#include "encode/FitLogic.h"
#include "encode/Join.h"
#include "batch/Outputs.h"
#include "batch/SlotFiles.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/advantmr.h"
#include "framework/errors.h"
#include "queue/Queue.h"
#include "queue/QueueLogic.h"

namespace batch {

TBatch::TBatch(TQueue& queue) : queue_(queue) {}

TBatch::~TBatch()
{
    Abandon();
}

void TBatch::FillSlots()
{
    try {
        for (int row = queue_.NextPending();
             row >= 0 && state_ == State::Running && static_cast<int>(running_.size()) < setup_.encoders;
             row = queue_.NextPending(row + 1))
            StartRow(row);
    } catch (...) {
        if (running_.empty()) End();
        throw;
    }
    // A paused batch waits with its pending rows, unless none is left.
    if (running_.empty() && (state_ != State::Paused || queue_.NextPending() < 0)) End();
}

namespace {

// The first slot no running conversion has: it names the encoder's log.
int FreeSlot(const std::vector<std::unique_ptr<TConversion>>& running)
{
    for (int slot = 0;; ++slot)
        if (std::none_of(running.begin(), running.end(), [&](const auto& c) { return c->File().slot == slot; })) return slot;
}

// A name for the encoder to write under, beside the output: none on the disk, none a running
// conversion writes.
std::string TemporaryFor(const std::string& output, const std::vector<std::unique_ptr<TConversion>>& running)
{
    return encode::TemporaryPathFor(output, [&](const std::string& candidate) {
        return fw::FileExists(candidate) ||
               std::any_of(running.begin(), running.end(), [&](const auto& c) { return fw::SamePath(c->File().written, candidate); });
    });
}

// What making the disc or the joined file of a batch counts for in its progress, in media seconds.
double MakingSeconds(const BatchSetup& setup)
{
    const bool disc = disc::MakesDisc(setup.choices.disc, setup.choices.target);
    const double share = disc ? disc::kDiscShare : setup.choices.join ? encode::kJoinShare : 0;
    return share * static_cast<double>(setup.plan.seconds);
}

// The disc a batch makes of its files, where one is chosen.
std::unique_ptr<disc::TDiscMaker> DiscFor(const BatchSetup& setup, TWritingList* writing)
{
    const Choices& choices = setup.choices;
    if (!disc::MakesDisc(choices.disc, choices.target)) return nullptr;
    return std::make_unique<disc::TDiscMaker>(disc::DiscJob{.tool = setup.discTool,
                                                .menu = choices.discMenu,
                                                .encoder = setup.encoderPath,
                                                .spumux = setup.menuTool,
                                                .font = setup.font,
                                                .folder = setup.outputFolder,
                                                .name = choices.discName,
                                                .pal = choices.target == encode::Target::DvdPal,
                                                .oneTitle = choices.join,
                                                .ifExists = choices.ifExists,
                                                .workFolder = setup.logFolder,
                                                .writing = WritingTeller(writing)});
}

}  // namespace

void TBatch::StartRow(int row)
{
    ConversionStart start{.file = {.id = queue_.IdAt(row), .input = queue_.Path(row), .mediaSeconds = queue_.MediaSeconds(row)},
                          .fittedRate = NextFittedRate()};
    OutputPlace place = outputs_->Place(setup_.plan.outputs.at(start.file.id), start.file.input, queue_.Subfolder(row));
    tally_.Started();
    // A row that ends before an encoder runs gives its claim up.
    auto endHere = [&](Outcome outcome) {
        if (!place.path.empty()) outputs_->Release(place.path);
        tally_.Ended(outcome, start.file.mediaSeconds, 0);
        ShowProgress();
    };
    if (place.path.empty()) return queue_.Fail(row, kNameTooLong), endHere(Outcome::Failed);
    if (place.skipped) return queue_.Skip(row, place.path), endHere(Outcome::Skipped);
    start.file.output = place.path;
    start.file.written = TemporaryFor(place.path, running_);
    if (start.file.written.empty()) return queue_.Fail(row, encode::NoTemporaryName(place.path)), endHere(Outcome::Failed);
    start.file.slot = FreeSlot(running_);
    start.placeNote = std::move(place.note);
    start.mayReplace = place.mayReplace;
    // A subfolder of the tree is made for its first file, under an output folder that is there.
    if (!setup_.choices.besideInput && !queue_.Subfolder(row).empty() && fw::DirectoryExists(setup_.outputFolder))
        fw::MakeFolders(fw::FolderPart(place.path, fw::IsLeadByte));
    auto c = std::make_unique<TConversion>(setup_, start, outputs_->Claims(), [this](TConversion& conversion, TConversion::News news) {
        if (news == TConversion::News::Ended) return Finish(conversion);
        const RunningFile& file = conversion.File();
        fw::Guarded([&] { queue_.ShowProgress(queue_.IndexOf(file.id), conversion.DoneBytes(), file.expectedSize); });
        ShowProgress();
    });
    if (const std::string failure = c->Start(Paused()); !failure.empty()) return queue_.Fail(row, failure), endHere(Outcome::Failed);
    if (writing_) writing_->Add(start.file.written);
    queue_.Start(row);
    running_.push_back(std::move(c));
}

std::vector<RunningFile> TBatch::RunningFiles() const
{
    std::vector<RunningFile> files;
    for (const auto& c : running_) files.push_back(c->File());
    return files;
}

void TBatch::Finish(TConversion& c)
{
    const RunningFile& file = c.File();
    const ConversionEnd end = c.End();
    const int row = queue_.IndexOf(file.id);
    if (end.outcome == Outcome::Stopped)
        queue_.Stopped(row);
    else if (end.outcome == Outcome::Converted)
        queue_.Finish(row, end.savedAs, end.text);
    else
        queue_.Fail(row, end.text);
    const bool converted = end.outcome == Outcome::Converted;
    outputs_->Ended(file.output, end.savedAs, file.input, converted);
    // A title needs a picture: a file of sound alone stays a file.
    if (disc_ && converted && !end.savedAs.empty() && end.facts && end.facts->picture.width > 0) {
        std::vector<std::string> languages = encode::CarriedLanguages(end.facts);
        if (setup_.title) languages.resize(static_cast<std::size_t>(setup_.title->audioTracks));  // its silence says none
        const std::string name = queue::FileNamePart(file.input, fw::IsLeadByte);
        disc_->AddTitle(row, {end.savedAs, setup_.title ? setup_.title->wide : encode::WidePicture(setup_.choices.target, end.facts),
                              std::move(languages), end.pictureSeconds > 0 ? end.pictureSeconds : file.mediaSeconds, 0, name.substr(0, name.rfind('.'))});
    }
    // A part needs a picture: a file of sound alone stays a file.
    if (join_ && converted && !end.savedAs.empty() && end.pictureSeconds > 0) join_->AddPart(row, {end.savedAs, end.pictureSeconds});
    if (writing_) writing_->Remove(file.written);
    RemoveSlotFiles(setup_.logFolder, file.slot);
    TAdvancedTimer* timer = c.TakeTimer();
    tally_.Ended(end.outcome, file.mediaSeconds, end.bytes);
    running_.erase(std::find_if(running_.begin(), running_.end(), [&](const auto& p) { return p.get() == &c; }));
    ShowProgress();
    // The timer goes once the next rows have started: this may be one of its ticks.
    fw::scope_exit release([timer] { timer->Release(); });
    FillSlots();
}

void TBatch::Abandon()
{
    if (disc_) disc_->Abandon();
    if (join_) join_->Abandon();
    for (const auto& c : running_) {
        c->Abandon();
        RemoveSlotFiles(setup_.logFolder, c->File().slot);
        if (writing_) writing_->Remove(c->File().written);
    }
    running_.clear();
    End(true);
}

void TBatch::PauseOrResume()
{
    // Only converting files pause: the disc or the joined file is made without a pause, and a
    // stop under way is not undone.
    if (state_ != State::Running && state_ != State::Paused) return;
    const bool paused = state_ == State::Running;
    for (const auto& c : running_) c->Pause(paused);
    state_ = paused ? State::Paused : State::Running;
    if (paused) {
        tally_.Pause(GetTickCount());
        for (const auto& c : running_) queue_.ShowPaused(queue_.IndexOf(c->File().id));
        SetThreadExecutionState(ES_CONTINUOUS);  // the system may sleep again
    } else {
        tally_.Resume(GetTickCount());
        SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    }
    ShowProgress();
    if (!paused) FillSlots();  // the slots that emptied meanwhile
}

void TBatch::Start(const BatchSetup& setup)
{
    if (Running() || queue_.NextPending() < 0) return;
    setup_ = setup;
    outputs_ = std::make_unique<TOutputs>(setup_);
    if (!writing_ && !setup_.listFolder.empty()) writing_ = std::make_unique<TWritingList>(setup_.listFolder);
    state_ = State::Running;
    queue_.Lock(true);
    disc_ = DiscFor(setup_, writing_.get());
    if (disc_) {
        disc_->OnProgress = [this] { ShowProgress(); };
        disc_->OnEnd = [this](const disc::DiscResult& result) { DiscMade(result); };
    }
    join_.reset();
    if (setup_.choices.join && !disc_) {
        join_ = std::make_unique<TJoiner>();
        join_->OnProgress = [this] { ShowProgress(); };
        join_->OnEnd = [this](const JoinResult& result) { FilesJoined(result); };
    }
    tally_.Begin(std::vector<double>(setup_.plan.rowSeconds.begin(), setup_.plan.rowSeconds.end()), GetTickCount(),
                 MakingSeconds(setup_));
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);  // no sleep; the display may turn off
    ShowProgress();
    FillSlots();
}

std::optional<int> TBatch::NextFittedRate() const
{
    if (!setup_.plan.fitted) return std::nullopt;
    const Choices& choices = setup_.choices;
    std::int64_t left = setup_.plan.room - tally_.Bytes(), seconds = 0;
    for (const auto& c : running_)
        if (c->FittedRate()) left -= encode::FittedBytes(*c->FittedRate(), c->File().mediaSeconds, choices.target, choices.quality);
    // The planned rows start in their order: those before this one have started.
    const std::vector<std::int64_t>& rows = setup_.plan.rowSeconds;
    const std::size_t next = std::min<std::size_t>(rows.size(), tally_.StartedFiles());
    for (std::size_t i = next; i < rows.size(); ++i) seconds += rows[i];
    const int files = static_cast<int>(rows.size() - next);
    // Never below half the rate the batch began with, which the user agreed to.
    const int rate = encode::FitRate(std::max<std::int64_t>(left, 0), seconds, files, choices.target, choices.quality).video;
    return std::max(rate, setup_.plan.fitted->video / 2);
}

void TBatch::ShowProgress()
{
    if (state_ == State::Idle) return;
    std::vector<std::pair<double, double>> shares;
    if (state_ == State::Making) shares.push_back({MakingSeconds(setup_), disc_ ? disc_->Share() : join_->Share()});
    for (const auto& c : running_)
        shares.push_back({c->File().mediaSeconds, static_cast<double>(FileProgress(c->DoneBytes(), c->File().expectedSize)) / kProgressPerFile});
    if (OnProgress) OnProgress(tally_.Progress(shares, GetTickCount()));
}

void TBatch::StopAfterRunning()
{
    if (state_ == State::Making) {  // its streams are kept, and nothing of the disc or the joined file
        disc_ ? disc_->Abandon() : join_->Abandon();
        tally_.MadeEnded(disc_ ? disc::DiscNotMadeText("the batch was stopped") : encode::NotJoinedText("the batch was stopped"));
        state_ = State::Stopping;
        return End();
    }
    if (state_ == State::Paused) {  // the running files finish
        for (const auto& c : running_) c->Pause(false);
        tally_.Resume(GetTickCount());
    }
    if (Running()) state_ = State::Stopping;
}

void TBatch::StopNow()
{
    StopAfterRunning();
    // What the encoders wrote goes off the window's thread, as a failed file's does; a
    // file already being saved is finished and kept.
    for (const auto& c : running_) c->StopNow();
}

}  // namespace batch
