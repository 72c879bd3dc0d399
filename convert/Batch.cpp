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
#include "convert/Outputs.h"
#include "convert/SlotFiles.h"
#include "convert/SubtitleFile.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"
#include "framework/advantmr.h"
#include "framework/errors.h"
#include "queue/Queue.h"

namespace convert {

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
        if (std::none_of(running.begin(), running.end(), [&](const auto& c) { return c->slot == slot; })) return slot;
}

}  // namespace

std::unique_ptr<TConversion> TBatch::Prepare(int row)
{
    auto c = std::make_unique<TConversion>(setup_, outputs_->Claims(), [this](TConversion& conversion, TConversion::News news) {
        if (news == TConversion::News::Ended) return Finish(conversion);
        fw::Guarded([&] { queue_.ShowProgress(queue_.IndexOf(conversion.id), conversion.DoneBytes(), conversion.expectedSize); });
        ShowProgress();
    });
    c->id = queue_.IdAt(row);
    c->input = queue_.Path(row);
    c->mediaSeconds = queue_.MediaSeconds(row);
    c->fittedRate = NextFittedRate();
    c->step = FirstStep(DescribeFirst(setup_.choices.target), c->fittedRate.has_value());
    c->expectedSize = c->ExpectedSize(setup_);
    OutputPlace place = outputs_->Place(c->input, queue_.Subfolder(row), row + 1);
    c->output = std::move(place.path);
    c->placeNote = std::move(place.note);
    c->skipped = place.skipped;
    c->mayReplace = place.mayReplace;
    if (c->output.empty() || c->skipped) return c;
    c->written = TemporaryPathFor(c->output, [&](const std::string& candidate) {
        return fw::FileExists(candidate) || std::any_of(running_.begin(), running_.end(), [&](const auto& other) {
                   return fw::SamePath(other->written, candidate);
               });
    });
    c->slot = FreeSlot(running_);
    c->log = LogPath(setup_.logFolder, c->slot);
    if (setup_.choices.subtitles) {
        SidecarSubtitles sidecar = PrepareSidecar(c->input, SubtitlesCopyPath(setup_.logFolder, c->slot));
        c->sidecar = std::move(sidecar.source);
        c->subtitlesNote = std::move(sidecar.skippedNote);
        c->ownTrack = true;  // where no file is beside it
    }
    return c;
}

void TBatch::StartRow(int row)
{
    std::unique_ptr<TConversion> c = Prepare(row);
    tally_.Started();
    // A row that ends before an encoder runs gives its claim up.
    auto endHere = [&](Outcome outcome) {
        if (!c->output.empty()) outputs_->Release(c->output);
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
    if (const std::string failure = c->Start(Paused()); !failure.empty()) {
        queue_.Fail(row, failure);
        return endHere(Outcome::Failed);
    }
    if (writing_) writing_->Add(c->written);
    queue_.Start(row);
    running_.push_back(std::move(c));
}

std::vector<RunningFile> TBatch::RunningFiles() const
{
    std::vector<RunningFile> files;
    for (const auto& c : running_) files.push_back({c->id, c->input, c->written, c->expectedSize});
    return files;
}

void TBatch::Finish(TConversion& c)
{
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
    const bool converted = !c.stopped && reason.empty();
    outputs_->Ended(c.output, saved.savedAs, c.input, converted);
    // A title needs a picture: a file of sound alone stays a file.
    if (disc_ && converted && !saved.savedAs.empty() && c.facts && c.facts->picture.width > 0)
        disc_->AddTitle(row, {saved.savedAs, WidePicture(setup_.choices.target, c.facts), CarriedLanguages(c.facts), c.mediaSeconds});
    if (writing_) writing_->Remove(c.written);
    RemoveSlotFiles(setup_.logFolder, c.slot);
    TAdvancedTimer* timer = std::exchange(c.timer, nullptr);
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
        c->Abandon();
        RemoveSlotFiles(setup_.logFolder, c->slot);
        if (writing_) writing_->Remove(c->written);
    }
    running_.clear();
    End(true);
}

}  // namespace convert
