// TBatch: one click on the convert button. Pending rows go through the encoder top to
// bottom, several at once; each conversion writes a temporary file that becomes the output
// only when it is done. The batch owns the running conversions, the outputs written in
// this run, its counts and the system kept awake. It has no window: it tells its progress
// and its end through events.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/BatchSetup.h"
#include "batch/OutputFiles.h"
#include "encode/EncoderArgs.h"
#include "batch/OutputNames.h"
#include "batch/Plan.h"
#include "batch/ProgressLogic.h"
#include "encode/TargetLogic.h"
#include "batch/Save.h"
#include "batch/WritingList.h"
#include "framework/handles.h"

class TQueue;
class TAdvancedTimer;
namespace disc {
class TDiscMaker;
struct DiscResult;
}

namespace batch {

class TOutputs;
class TJoiner;
struct JoinResult;

class TConversion;

class TBatch {
public:
    explicit TBatch(TQueue& queue);
    // An end in the middle: our encoders are ended and their temporaries removed.
    ~TBatch();
    TBatch(const TBatch&) = delete;
    TBatch& operator=(const TBatch&) = delete;

    // True from the first row started to the end, paused or not: the queue may not change meanwhile.
    bool Running() const { return state_ != State::Idle; }
    bool Paused() const { return state_ == State::Paused; }
    // Its files are converted, and the disc or the joined file is being made of them.
    bool Making() const { return state_ == State::Making; }
    std::vector<RunningFile> RunningFiles() const;

    // Starts pending rows top to bottom until `encoders` run. Does nothing while running.
    void Start(const BatchSetup& setup);
    // Ends every encoder of ours and removes the temporaries they wrote.
    void Abandon();
    // The user's stop: no further row starts, and the running files finish ("after") or
    // end at once, their temporaries removed and their rows "Pending" again ("now").
    void StopAfterRunning();
    void StopNow();
    // Paused: our encoders wait where they are and no row starts; the system may sleep
    // meanwhile. The disc or the joined file, once its files are converted, is made without a
    // pause. Resumed: each encoder goes on exactly where it was.
    void PauseOrResume();

    // While the batch runs: its progress, at its start, as files grow and as each ends.
    std::function<void(const BatchProgress&)> OnProgress;
    // Called when a batch has ended, whether it finished, was stopped or was abandoned.
    std::function<void(const BatchSummary& summary)> OnEnd;

private:
    // Starts rows until the slots are full; rows that fail before their encoder runs are
    // passed by. Ends the batch when nothing runs and nothing is pending.
    void FillSlots();
    // Starts one row, or fails it when it cannot start.
    void StartRow(int row);
    // A conversion's file saved or removed: its row says how it ended, and the next rows start.
    void Finish(TConversion& conversion);
    // Once every file has had its turn, the disc of them or their join where one is chosen;
    // then the end.
    void End(bool abandoned = false);
    // The disc made, or the files joined: each row in it says where it went.
    void DiscMade(const disc::DiscResult& result);
    void FilesJoined(const JoinResult& result);
    void ShowProgress();
    // A fitted batch's video rate for the next file: the size left, less what the running
    // files are to take, over the planned files from this one; a file that took less than its
    // share leaves the rest to the files after it, one that took more takes it from them.
    std::optional<int> NextFittedRate() const;

    TQueue& queue_;
    BatchSetup setup_;
    std::vector<std::unique_ptr<TConversion>> running_;
    std::unique_ptr<TOutputs> outputs_;  // where its files go, and what it saved
    std::unique_ptr<TWritingList> writing_;
    std::unique_ptr<disc::TDiscMaker> disc_;  // from the batch's start where a disc is made
    std::unique_ptr<TJoiner> join_;           // from the batch's start where the files are joined
    enum class State { Idle, Running, Paused, Stopping, Making } state_ = State::Idle;
    TBatchTally tally_;
};

}  // namespace batch
