// The batch's plan.
#include "convert/Plan.h"

#include <algorithm>
#include <climits>

#include "convert/ConvertLogic.h"
#include "convert/DvdAuthoring.h"
#include "convert/EncoderArgs.h"
#include "queue/Queue.h"

namespace convert {

BatchPlan PlanBatch(const std::vector<PlannedRow>& rows, Target target, Quality quality, const FitTo& fit, bool disc)
{
    BatchPlan plan;
    for (const PlannedRow& row : rows) {
        ++plan.files;
        plan.seconds += row.seconds;
        plan.rowSeconds.push_back(row.seconds);
        plan.outputs.push_back(row.output);
    }
    if (FitApplies(fit, target)) {
        plan.room = disc ? fit.bytes - DiscOverhead(plan.files, plan.seconds) : fit.bytes;
        plan.fitted = FitRate(plan.room, plan.seconds, plan.files, target, quality);
    }
    // Each file at the fitted rate or the target's own; the high quality's pictures are not yet
    // described, so what a picture typically takes is counted.
    const EncodeRequest request{.target = target, .quality = quality,
                                .fittedRate = plan.fitted ? std::optional<int>(plan.fitted->video) : std::nullopt};
    const double rate = ExpectedRateKBps(request);
    for (const PlannedRow& row : rows) {
        const std::int64_t bytes = ExpectedSizeFor(static_cast<int>(std::min<std::int64_t>(row.seconds, INT32_MAX)), rate);
        plan.bytes += bytes;
        if (row.volume.empty()) continue;
        auto need = std::find_if(plan.volumes.begin(), plan.volumes.end(), [&](const VolumeNeed& n) { return n.root == row.volume; });
        if (need == plan.volumes.end()) need = plan.volumes.insert(plan.volumes.end(), VolumeNeed{.root = row.volume});
        need->bytes += disc ? 3 * bytes : bytes;  // the stream, its copy in the folder, and in the image
        if (bytes > need->largest) need->largest = bytes, need->largestInput = row.input;
    }
    return plan;
}

std::vector<PlannedRow> PendingRows(const TQueue& queue, const std::function<void(int row, PlannedRow& planned)>& place)
{
    std::vector<PlannedRow> rows;
    for (int row = queue.NextPending(); row >= 0; row = queue.NextPending(row + 1)) {
        rows.push_back({queue.MediaSeconds(row)});
        if (place) place(row, rows.back());
    }
    return rows;
}

}  // namespace convert
