// A batch's plan: what its pending rows are and what they will take, worked out once before
// its start from the queue and the choices. The caption's size, the questions before the start
// and the batch's fitted rate all come from it.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "encode/FitLogic.h"

class TQueue;

namespace batch {

// Where a row's output is meant to go, before the batch claims its name: named by the
// pattern, in the output folder (its subfolder of a tree) or beside its input.
struct MeantOutput {
    std::string path{};
    std::string note{};  // why it is not where it was asked to go
};
// What a batch's pending rows are, before its start: their media seconds and, where asked,
// their outputs and the volume root those go to (empty where it cannot be told).
struct PlannedRow {
    std::int64_t seconds = 0;
    std::string volume{};
    std::string input{};  // the input's file name, as questions name it
    MeantOutput output{};
    int id = 0;  // the queue's row id: a row is found by it, never by its place
};
// The batch from the pending rows and the choices, worked out once: how many files and
// seconds, the one video rate where the size to fit applies, what the outputs take together
// and on each volume (its free space and file system left for the caller to ask).
struct BatchPlan {
    int files = 0;
    std::int64_t seconds = 0;
    std::vector<std::int64_t> rowSeconds{};  // each row's, in the queue's order
    std::map<int, MeantOutput> outputs{};    // each row's by its id, where asked
    std::optional<encode::FittedRate> fitted{};
    std::int64_t room = 0;  // of the size to fit, what the streams may take
    std::int64_t bytes = 0;
    std::int64_t discBytes = 0;  // what the disc made of them takes, where one is
    std::vector<encode::VolumeNeed> volumes{};
};
// What a batch makes of its files as one, beyond the files: nothing, a disc or a joined file.
enum class MadeAsOne { Nothing, Disc, DiscWithMenu, JoinedFile };
// A disc made of the files takes its own room from the size to fit, and needs room for its
// folder and its image on `volume` (the output folder's, where it can be told) beside the
// streams; a joined file needs room for itself there beside its parts.
BatchPlan PlanBatch(const std::vector<PlannedRow>& rows, encode::Target target, encode::Quality quality, const encode::FitTo& fit,
                    MadeAsOne made = MadeAsOne::Nothing, const std::string& volume = {});

// The queue's pending rows in its order with their media seconds; `place`, where given,
// fills in each one's output, volume and input name.
std::vector<PlannedRow> PendingRows(const TQueue& queue, const std::function<void(int row, PlannedRow& planned)>& place = {});

}  // namespace batch
