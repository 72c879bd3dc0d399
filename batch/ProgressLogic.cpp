// Rules of a batch's progress as the user reads it.
#include "batch/ProgressLogic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "encode/FitLogic.h"
#include "framework/errors.h"
#include "framework/text.h"

namespace batch {

double BatchFraction(const BatchFacts& facts)
{
    if (facts.mediaTotal <= 0) return facts.files > 0 && facts.started >= facts.files ? 1.0 : 0.0;
    return std::clamp(facts.mediaDone / facts.mediaTotal, 0.0, 1.0);
}

std::optional<double> SecondsLeft(const BatchFacts& facts)
{
    if (facts.paused || facts.runningSeconds < kEstimateAfterSeconds || facts.mediaEncoded <= 0) return std::nullopt;
    const double rate = facts.mediaEncoded / facts.runningSeconds;  // media seconds a wall second
    return std::max(0.0, facts.mediaTotal - facts.mediaDone) / rate;
}

namespace {

std::string TimeLeftText(double seconds)
{
    if (seconds < 60) return "less than a minute left";
    const int minutes = static_cast<int>(std::ceil(seconds / 60));
    if (minutes < 90) return "about " + std::to_string(minutes) + " min left";
    return "about " + std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min left";
}

}  // namespace

namespace {

int Percent(const BatchFacts& facts) { return static_cast<int>(BatchFraction(facts) * 100); }
int FileNumber(const BatchFacts& facts) { return std::clamp(facts.started, 1, std::max(facts.files, 1)); }

}  // namespace

std::string BatchCaption(const BatchFacts& facts, const fw::TextMarks& marks)
{
    const std::string dot = std::string(" ") + marks.dot + " ";
    const std::string percent = std::to_string(Percent(facts)) + " %";
    const std::string count = std::to_string(FileNumber(facts)) + " of " + std::to_string(facts.files);
    if (facts.paused) return "Paused" + dot + count + dot + percent;
    const std::optional<double> left = SecondsLeft(facts);
    return (!facts.making.empty() ? facts.making : "Converting " + count) + dot + percent + dot + (left ? TimeLeftText(*left) : "estimating" + std::string(marks.ellipsis));
}

bool WorthAnnouncing(const BatchFacts& told, const BatchFacts& now)
{
    return FileNumber(told) != FileNumber(now) || Percent(told) / 10 != Percent(now) / 10 || told.paused != now.paused || told.making != now.making ||
           told.files != now.files;
}

std::string BatchEndText(int converted, int failed, bool stopped)
{
    std::string text = converted == 0 ? std::string("No file converted")
                                      : std::to_string(converted) + (converted == 1 ? " file" : " files") + " converted";
    if (stopped) text += " before the stop";
    if (failed > 0) text += ", " + std::to_string(failed) + " failed";
    return text;
}

void TBatchTally::Begin(const std::vector<double>& seconds, std::uint32_t now, double discSeconds)
{
    facts_ = {};
    facts_.files = static_cast<int>(seconds.size());
    facts_.mediaTotal = discSeconds;
    for (double file : seconds) facts_.mediaTotal += file;
    summary_ = {};
    ended_ = 0;
    runningMs_ = 0;
    runningSince_ = now;
}

void TBatchTally::Ended(Outcome outcome, double mediaSeconds, std::int64_t bytes)
{
    if (outcome == Outcome::Stopped) {
        --facts_.started;  // back to "Pending", to run with the next batch
        return;
    }
    ++ended_;
    facts_.mediaDone += mediaSeconds;
    if (outcome == Outcome::Skipped) return;
    if (outcome == Outcome::Converted) {
        facts_.mediaEncoded += mediaSeconds;
        ++summary_.converted;
        summary_.bytes += bytes;
    } else {
        ++summary_.failed;
    }
}

void TBatchTally::Pause(std::uint32_t now)
{
    if (facts_.paused) return;
    facts_.paused = true;
    runningMs_ += now - runningSince_;
}

void TBatchTally::Resume(std::uint32_t now)
{
    if (!facts_.paused) return;
    facts_.paused = false;
    runningSince_ = now;
}

BatchProgress TBatchTally::Progress(const std::vector<std::pair<double, double>>& running, std::uint32_t now) const
{
    BatchProgress progress{facts_, summary_.failed > 0, facts_.files - ended_};
    for (const auto& [seconds, share] : running) {
        progress.facts.mediaDone += seconds * share;
        progress.facts.mediaEncoded += seconds * share;
    }
    progress.facts.runningSeconds = (runningMs_ + (facts_.paused ? 0 : now - runningSince_)) / 1000.0;
    return progress;
}

BatchSummary TBatchTally::End(bool stopped, bool abandoned) const
{
    BatchSummary summary = summary_;
    summary.stopped = stopped;
    summary.abandoned = abandoned;
    return summary;
}

std::string BatchEndSaid(const BatchSummary& summary)
{
    if (summary.abandoned) return {};
    std::string text = BatchEndText(summary.converted, summary.failed, summary.stopped);
    if (summary.converted > 0) text += " (" + encode::SizeText(summary.bytes) + ")";
    if (!summary.made.empty()) text += ". " + summary.made;
    return text;
}

std::string SessionWaitReason(int filesLeft, const std::string& making)
{
    if (!making.empty()) return making;
    return "Converting " + std::to_string(filesLeft) + (filesLeft == 1 ? " file" : " files");
}

ProgressShown ShownProgress(const BatchProgress& progress, std::optional<BatchFacts>& told, const fw::TextMarks& marks)
{
    const BatchFacts& facts = progress.facts;
    const bool retell = !told || WorthAnnouncing(*told, facts);
    if (retell) told = facts;
    return {BatchCaption(facts, marks), retell, BatchFraction(facts), facts.paused, progress.failed,
            SessionWaitReason(progress.filesLeft, facts.making)};
}

}  // namespace batch
