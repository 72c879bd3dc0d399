// TBatch: several encoders at once, each writing a temporary file that becomes the output
// only when its file is done.
#include "convert/Batch.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "convert/Conversion.h"
#include "convert/DiscMaker.h"
#include "convert/EncoderArgs.h"
#include "convert/OutputNames.h"
#include "convert/OutputRecord.h"
#include "convert/SlotFiles.h"
#include "convert/SubtitleFile.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/Launcher.h"
#include "framework/advantmr.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "queue/Queue.h"

namespace convert {

TBatch::TBatch(TQueue& queue) : queue_(queue) {}

TBatch::~TBatch()
{
    Abandon();
}

void TBatch::Start(const BatchSetup& setup)
{
    if (Running()) return;
    setup_ = setup;
    setup_.encoders = std::clamp(setup.encoders, 1, kMostEncoders);
    claims_ = std::make_shared<TOutputClaims>(&fw::SamePath);
    record_ = std::make_unique<TOutputRecord>(setup_.outputRecord);
    if (!writing_ && !setup_.listFolder.empty()) writing_ = std::make_unique<TWritingList>(setup_.listFolder);
    FillSlots();
}

void TBatch::FillSlots()
{
    try {
        for (int row = queue_.NextPending();
             row >= 0 && (state_ == State::Idle || state_ == State::Running) && static_cast<int>(running_.size()) < setup_.encoders;
             row = queue_.NextPending(row + 1)) {
            if (state_ == State::Idle) Begin();
            StartRow(row);
        }
    } catch (...) {
        if (running_.empty()) End();
        throw;
    }
    // A paused batch waits with its pending rows, unless none is left.
    if (running_.empty() && (state_ != State::Paused || queue_.NextPending() < 0)) End();
}

int TBatch::FreeSlot() const
{
    for (int slot = 0;; ++slot)
        if (std::none_of(running_.begin(), running_.end(), [&](const auto& c) { return c->slot == slot; })) return slot;
}

std::unique_ptr<TConversion> TBatch::Prepare(int row)
{
    auto c = std::make_unique<TConversion>();
    c->id = queue_.IdAt(row);
    c->input = queue_.Path(row);
    c->mediaSeconds = queue_.MediaSeconds(row);
    c->fittedRate = NextFittedRate();
    c->step = FirstStep(DescribeFirst(setup_.choices.target), c->fittedRate.has_value());
    c->expectedSize = c->ExpectedSize(setup_);
    c->output = OutputFor(row, *c);
    if (c->output.empty() || c->skipped) return c;
    c->written = TemporaryPathFor(c->output, [&](const std::string& candidate) {
        return fw::FileExists(candidate) || std::any_of(running_.begin(), running_.end(), [&](const auto& other) {
                   return fw::SamePath(other->written, candidate);
               });
    });
    c->slot = FreeSlot();
    c->log = LogPath(setup_.logFolder, c->slot);
    if (setup_.choices.subtitles) {
        SidecarSubtitles sidecar = PrepareSidecar(c->input, SubtitlesCopyPath(setup_.logFolder, c->slot));
        c->sidecar = std::move(sidecar.source);
        c->subtitlesNote = std::move(sidecar.skippedNote);
        c->ownTrack = true;  // where no file is beside it
    }
    return c;
}

namespace {

// A subfolder of a tree, each level of it a name Windows does not open as a device.
std::string SubfolderOutsideDevices(const std::string& subfolder)
{
    std::string safe;
    for (std::size_t start = 0; start <= subfolder.size();) {
        const std::size_t end = std::min(subfolder.find('\\', start), subfolder.size());
        if (start != 0) safe += '\\';
        safe += OutsideDevices(subfolder.substr(start, end - start));
        start = end + 1;
    }
    return safe;
}

}  // namespace

std::string TBatch::OutputFor(int row, TConversion& c)
{
    const std::string& input = queue_.Path(row);
    const std::string& subfolder = queue_.Subfolder(row);
    std::string folder = setup_.outputFolder;
    if (!setup_.choices.besideInput) {
        if (!subfolder.empty()) folder += "\\" + SubfolderOutsideDevices(subfolder);
    } else if (const std::string own = fw::FolderPart(input, fw::IsLeadByte); fw::CanWriteIn(own)) {
        folder = own;
    } else {
        c.placeNote = "Its own folder could not be written, so it was saved in the output folder.";
    }
    const std::string name = OutputFileName(setup_.choices.outputName, {input, fw::ModifiedDate(input), setup_.choices.target, row + 1}, fw::IsLeadByte);
    const std::string meant = OutputPathFor(folder, name);
    if (!WithinPathLimits(fw::ExtendedPath(meant))) return {};
    // In the output folder under the default name, a file of the name is taken for the
    // program's own (that is where it writes, and where users look for its files); anywhere
    // else only one its record says it made from this input. Replace and skip apply to those;
    // any other keeps its name, and so does any under keep.
    const bool usual = !setup_.choices.besideInput && subfolder.empty() && setup_.choices.outputName == kDefaultOutputName;
    const bool keep = setup_.choices.ifExists == IfExists::Keep;
    auto held = [&](const std::string& candidate) {
        return fw::FileExists(candidate) && (keep || !(usual || record_->MadeFrom(candidate, input)));
    };
    std::string output = claims_->Claim(meant, input);  // never another input's of this run
    if (held(output)) {
        claims_->Release(output);
        const std::string other = std::exchange(output, claims_->Claim(meant, input, held));
        if (!keep) c.placeNote = JoinNotes(c.placeNote, ForeignFileNote(other, output, fw::IsLeadByte));
    }
    const bool exists = fw::FileExists(output);
    c.skipped = exists && setup_.choices.ifExists == IfExists::Skip;
    // A file that comes meanwhile under a name that was free is replaced only there.
    c.mayReplace = exists || usual;
    return output;
}

void TBatch::StartRow(int row)
{
    std::unique_ptr<TConversion> c = Prepare(row);
    tally_.Started();
    // A row that ends before an encoder runs gives its claim up.
    auto endHere = [&](Outcome outcome) {
        if (!c->output.empty()) claims_->Release(c->output);
        tally_.Ended(outcome, c->mediaSeconds, 0);
        ShowProgress();
    };
    if (c->output.empty() || (!c->skipped && c->written.empty())) {
        queue_.Fail(row, c->output.empty() ? kNameTooLong : NoTemporaryName(c->output));
        return endHere(Outcome::Failed);
    }
    if (c->skipped) {
        queue_.Skip(row, c->output);
        return endHere(Outcome::Skipped);
    }
    // A subfolder of the tree is made for its first file, under an output folder that is there.
    if (!setup_.choices.besideInput && !queue_.Subfolder(row).empty() && fw::DirectoryExists(setup_.outputFolder))
        fw::MakeFolders(fw::FolderPart(c->output, fw::IsLeadByte));
    if (const std::string failure = Launch(*c); !failure.empty()) {
        queue_.Fail(row, failure);
        return endHere(Outcome::Failed);
    }
    if (writing_) writing_->Add(c->written);
    queue_.Start(row);
    Watch(*c);
    running_.push_back(std::move(c));
}

void TBatch::Watch(TConversion& c)
{
    c.timer = fw::Create<TAdvancedTimer>(nullptr);
    c.timer->SetBuddy(c.written);
    c.timer->SetInterval(500);
    c.timer->SetEnabled(true);
    c.timer->SetOnTimer([this, id = c.id](fw::TComponent*) { OnTick(id); });
    // The encoder's end is taken up at once instead of at the next tick.
    fw::Application->WatchHandle(c.process.get(), [this, id = c.id] { OnRunEnded(id); });
}

TConversion* TBatch::Find(int id) const
{
    const auto it = std::find_if(running_.begin(), running_.end(), [&](const auto& c) { return c->id == id; });
    return it == running_.end() ? nullptr : it->get();
}

std::vector<RunningFile> TBatch::RunningFiles() const
{
    std::vector<RunningFile> files;
    for (const auto& c : running_) files.push_back({c->id, c->input, c->written, c->expectedSize});
    return files;
}

void TBatch::Finish(TConversion& c)
{
    fw::Application->UnwatchHandle(c.saver->Thread());
    const SaveJob& saved = c.saver->Result();
    std::string reason = c.failure;
    if (reason.empty() && saved.savedAs.empty()) reason = saved.note;
    const int row = queue_.IndexOf(c.id);
    if (c.stopped)
        queue_.Stopped(row);
    else if (reason.empty())
        queue_.Finish(row, saved.savedAs, c.Notes(setup_, saved.note));
    else
        queue_.Fail(row, reason);
    claims_->Written(c.output);
    if (!saved.savedAs.empty()) {
        claims_->Written(saved.savedAs);
        if (!c.stopped && reason.empty()) record_->Add(saved.savedAs, c.input);
        // A title needs a picture: a file of sound alone stays a file.
        if (disc_ && !c.stopped && reason.empty() && c.facts && c.facts->picture.width > 0)
            disc_->AddTitle(row, {saved.savedAs, WidePicture(setup_.choices.target, c.facts), CarriedLanguages(c.facts), c.mediaSeconds});
    }
    if (writing_) writing_->Remove(c.written);
    RemoveSlotFiles(setup_.logFolder, c.slot);
    TAdvancedTimer* timer = c.timer;
    tally_.Ended(c.stopped ? Outcome::Stopped : reason.empty() ? Outcome::Converted : Outcome::Failed, c.mediaSeconds, c.lastSize);
    running_.erase(std::find_if(running_.begin(), running_.end(), [&](const auto& p) { return p.get() == &c; }));
    ShowProgress();
    // The timer goes once the next rows have started: this may be one of its ticks.
    fw::scope_exit release([timer] { timer->Release(); });
    FillSlots();
}

void TBatch::Abandon()
{
    if (disc_) disc_->Abandon();
    for (const auto& c : running_) {
        fw::Application->UnwatchHandle(c->process.get());
        if (c->saver) fw::Application->UnwatchHandle(c->saver->Thread());
        TerminateProcess(c->process.get(), 1);
    }
    for (const auto& c : running_) {
        c->saver.reset();  // a finished file being saved is saved
        WaitForSingleObject(c->process.get(), 5000);
        fw::WaitUntilReleased(c->written);
        DeleteFileW(fw::WidePath(c->written).c_str());
        RemoveSlotFiles(setup_.logFolder, c->slot);
        if (writing_) writing_->Remove(c->written);
        c->timer->Release();
    }
    running_.clear();
    End(true);
}

}  // namespace convert
