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
        if (std::none_of(running.begin(), running.end(), [&](const auto& c) { return c->File().slot == slot; })) return slot;
}

// A name for the encoder to write under, beside the output: none on the disk, none a running
// conversion writes.
std::string TemporaryFor(const std::string& output, const std::vector<std::unique_ptr<TConversion>>& running)
{
    return TemporaryPathFor(output, [&](const std::string& candidate) {
        return fw::FileExists(candidate) ||
               std::any_of(running.begin(), running.end(), [&](const auto& c) { return fw::SamePath(c->File().written, candidate); });
    });
}

}  // namespace

void TBatch::StartRow(int row)
{
    ConversionStart start{.file = {.id = queue_.IdAt(row), .input = queue_.Path(row), .mediaSeconds = queue_.MediaSeconds(row)},
                          .fittedRate = NextFittedRate()};
    // The planned rows start in their order: those before this one have started.
    OutputPlace place = outputs_->Place(setup_.plan.outputs.at(tally_.StartedFiles()), start.file.input, queue_.Subfolder(row));
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
    if (start.file.written.empty()) return queue_.Fail(row, NoTemporaryName(place.path)), endHere(Outcome::Failed);
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
    if (disc_ && converted && !end.savedAs.empty() && end.facts && end.facts->picture.width > 0)
        disc_->AddTitle(row, {end.savedAs, WidePicture(setup_.choices.target, end.facts), CarriedLanguages(end.facts), file.mediaSeconds});
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
    for (const auto& c : running_) {
        c->Abandon();
        RemoveSlotFiles(setup_.logFolder, c->File().slot);
        if (writing_) writing_->Remove(c->File().written);
    }
    running_.clear();
    End(true);
}

}  // namespace convert
