// The batch's plan.
#include "convert/Plan.h"

#include <algorithm>
#include <climits>

#include "convert/ConvertLogic.h"
#include "convert/DvdAuthoring.h"
#include "convert/EncoderArgs.h"
#include "queue/Queue.h"

namespace convert {

namespace {

VolumeNeed& NeedOf(std::vector<VolumeNeed>& volumes, const std::string& root)
{
    auto need = std::find_if(volumes.begin(), volumes.end(), [&](const VolumeNeed& n) { return n.root == root; });
    return need != volumes.end() ? *need : volumes.emplace_back(VolumeNeed{.root = root});
}

}  // namespace

BatchPlan PlanBatch(const std::vector<PlannedRow>& rows, Target target, Quality quality, const FitTo& fit, bool disc,
                    const std::string& discVolume)
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
        VolumeNeed& need = NeedOf(plan.volumes, row.volume);
        need.bytes += bytes;
        if (bytes > need.largest) need.largest = bytes, need.largestInput = row.input;
    }
    if (!disc) return plan;
    // The disc's folder and its image, each the streams and the disc's own files, beside the
    // streams until the image is whole.
    plan.discBytes = plan.bytes + DiscOverhead(plan.files, plan.seconds);
    if (!discVolume.empty()) {
        VolumeNeed& need = NeedOf(plan.volumes, discVolume);
        need.bytes += 2 * plan.discBytes;
        need.image = plan.discBytes;
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
