// The batch's plan.
#include "batch/Plan.h"

#include <algorithm>
#include <climits>

#include "batch/OutputFiles.h"
#include "disc/DvdAuthoring.h"
#include "encode/EncoderArgs.h"
#include "encode/Rates.h"
#include "queue/Queue.h"

namespace batch {

namespace {

encode::VolumeNeed& NeedOf(std::vector<encode::VolumeNeed>& volumes, const std::string& root)
{
    auto need = std::find_if(volumes.begin(), volumes.end(), [&](const encode::VolumeNeed& n) { return n.root == root; });
    return need != volumes.end() ? *need : volumes.emplace_back(encode::VolumeNeed{.root = root});
}

// What is made as one of the files needs on its volume: the joined file beside its parts until
// it is whole; the disc's folder and its image, each the streams and the disc's own files,
// beside the streams until the image is whole.
void NeedMadeAsOne(const BatchPlan& plan, MadeAsOne made, encode::VolumeNeed& need)
{
    if (made == MadeAsOne::JoinedFile) {
        need.bytes += plan.bytes;
        need.joined = plan.bytes;
        return;
    }
    need.bytes += 2 * plan.discBytes;
    need.image = plan.discBytes;
}

}  // namespace

BatchPlan PlanBatch(const std::vector<PlannedRow>& rows, encode::Target target, encode::Quality quality, const encode::FitTo& fit,
                    MadeAsOne made, const std::string& volume)
{
    const bool disc = made == MadeAsOne::Disc || made == MadeAsOne::DiscWithMenu, menu = made == MadeAsOne::DiscWithMenu;
    BatchPlan plan;
    for (const PlannedRow& row : rows) {
        ++plan.files;
        plan.seconds += row.seconds;
        plan.rowSeconds.push_back(row.seconds);
        plan.outputs[row.id] = row.output;
    }
    if (encode::FitApplies(fit, target)) {
        plan.room = disc ? fit.bytes - disc::DiscOverhead(plan.files, plan.seconds, menu) : fit.bytes;
        plan.fitted = encode::FitRate(plan.room, plan.seconds, plan.files, target, quality);
    }
    // Each file at the fitted rate or the target's own; the high quality's pictures are not yet
    // described, so what a picture typically takes is counted.
    const encode::EncodeRequest request{.target = target, .quality = quality,
                                .fittedRate = plan.fitted ? std::optional<int>(plan.fitted->video) : std::nullopt};
    const double rate = encode::ExpectedRateKBps(request);
    for (const PlannedRow& row : rows) {
        const std::int64_t bytes = encode::ExpectedSizeFor(static_cast<int>(std::min<std::int64_t>(row.seconds, INT32_MAX)), rate);
        plan.bytes += bytes;
        if (row.volume.empty()) continue;
        encode::VolumeNeed& need = NeedOf(plan.volumes, row.volume);
        need.bytes += bytes;
        if (bytes > need.largest) need.largest = bytes, need.largestInput = row.input;
    }
    if (disc) plan.discBytes = plan.bytes + disc::DiscOverhead(plan.files, plan.seconds, menu);
    if (made != MadeAsOne::Nothing && !volume.empty()) NeedMadeAsOne(plan, made, NeedOf(plan.volumes, volume));
    return plan;
}

std::vector<PlannedRow> PendingRows(const TQueue& queue, const std::function<void(int row, PlannedRow& planned)>& place)
{
    std::vector<PlannedRow> rows;
    for (int row = queue.NextPending(); row >= 0; row = queue.NextPending(row + 1)) {
        rows.push_back({.seconds = queue.MediaSeconds(row), .id = queue.IdAt(row)});
        if (place) place(row, rows.back());
    }
    return rows;
}

}  // namespace batch
