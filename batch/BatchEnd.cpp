// TBatch's end: once every file has had its turn, the disc or the joined file made of its
// files where one is chosen, each row then saying where it went; then the summary.
#include "batch/Batch.h"

#include <algorithm>

#include "batch/Joiner.h"
#include "batch/Outputs.h"
#include "disc/DiscMaker.h"
#include "encode/Join.h"
#include "framework/Files.h"
#include "queue/Queue.h"
#include "queue/QueueLogic.h"

namespace batch {

void TBatch::End(bool abandoned)
{
    if (state_ == State::Idle) return;
    const bool converted = !abandoned && state_ == State::Running;  // every file has had its turn
    if (converted && disc_ && disc_->Titles() > 0) {
        state_ = State::Making;
        tally_.Making("Making the DVD-Video disc");
        disc_->Start();
        return ShowProgress();
    }
    if (converted && join_ && join_->Parts() > 0) {
        state_ = State::Making;
        tally_.Making("Joining the files");
        const std::string name = setup_.choices.discName + ".mpg";
        const OutputPlace place = outputs_->Place({setup_.outputFolder + "\\" + name}, kJoinedInput, {});
        if (place.path.empty() || place.skipped) {
            tally_.MadeEnded(encode::NotJoinedText(place.skipped ? "\"" + name + "\" is there already, and an existing file is skipped" : kNameTooLong), true);
        } else {
            join_->Start({.encoder = setup_.encoderPath, .joined = place.path, .mayReplace = place.mayReplace, .target = setup_.choices.target,
                          .workFolder = setup_.logFolder, .writing = WritingTeller(writing_.get())});
            return ShowProgress();
        }
    }
    const std::string why = state_ == State::Stopping ? "the batch was stopped" : "no file was converted";
    if ((disc_ || join_) && !abandoned && state_ != State::Making)
        tally_.MadeEnded(disc_ ? disc::DiscNotMadeText(why) : encode::NotJoinedText(why));
    const BatchSummary summary = tally_.End(state_ == State::Stopping, abandoned);
    state_ = State::Idle;
    queue_.Lock(false);
    SetThreadExecutionState(ES_CONTINUOUS);
    if (OnEnd) OnEnd(summary);
}

void TBatch::DiscMade(const disc::DiscResult& result)
{
    const BatchSummary so = tally_.End(false, false);
    const std::string image = queue::FileNamePart(result.image, fw::IsLeadByte);
    tally_.MadeEnded(result.made ? disc::DiscMadeText(result.name, image, so.converted + so.failed - disc_->Titles(), result.note)
                                 : disc::DiscNotMadeText(result.failure),
                     !result.made || !result.note.empty());
    // Joined, each row names the chapter its file starts.
    const std::vector<int> rows = disc_->TitleOrder(), chapters = disc_->FirstChapters();
    for (std::size_t n = 0; result.made && n < rows.size(); ++n)
        queue_.Finish(rows[n], result.folder, disc::TitleNote(setup_.choices.join ? chapters[n] : static_cast<int>(n) + 1, result.name, setup_.choices.join));
    End();
}

void TBatch::FilesJoined(const JoinResult& result)
{
    const std::vector<int> rows = join_->PartOrder();
    const std::string name = queue::FileNamePart(result.joined, fw::IsLeadByte);
    if (!result.made) return tally_.MadeEnded(encode::NotJoinedText(result.failure), true), End();
    outputs_->Ended(result.joined, result.joined, kJoinedInput, true);
    for (std::size_t n = 0; n < rows.size(); ++n)
        queue_.Finish(rows[n], result.joined, encode::PartNote(static_cast<int>(n) + 1, static_cast<int>(rows.size()), name));
    // The batch's rows not in it: those that failed, were skipped or have no picture.
    std::vector<std::string> leftOut;
    for (const auto& [id, meant] : setup_.plan.outputs)
        if (const int row = queue_.IndexOf(id); row >= 0 && std::find(rows.begin(), rows.end(), row) == rows.end())
            leftOut.push_back(queue::FileNamePart(queue_.Path(row), fw::IsLeadByte));
    tally_.MadeEnded(encode::JoinedText(name, leftOut), !leftOut.empty());
    End();
}

}  // namespace batch
