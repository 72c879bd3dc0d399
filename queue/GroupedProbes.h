// Grouped probing: the files of a folder asked about in groups, one run of the media tool
// for each.
#pragma once
#include <windows.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "queue/Probe.h"
#include "queue/QueueLogic.h"

namespace queue {

// How long the media tool may take: a file that downloads as it is read has no limit.
inline DWORD ProbeTimeLimit(bool downloads, DWORD limitMs) { return downloads ? INFINITE : limitMs; }

// The files of a folder asked about in groups, one run of the media tool for each, the next
// group running while the current one is read; each group about kGroupMs long. A group
// left over when the adding stops is let finish and its answer dropped.
class TGroupedProbes {
public:
    TGroupedProbes(const std::vector<std::string>& files, const std::vector<bool>& online, std::string mediaTool,
                   std::string tempFolder, DWORD limitMs)
        : files_(files), online_(online), mediaTool_(std::move(mediaTool)), tempFolder_(std::move(tempFolder)),
          limitMs_(limitMs), seconds_(files.size())
    {
    }

    // The media seconds of the files' `i`th, asked in their order; none where its group's
    // answer does not give it.
    std::optional<int> Seconds(std::size_t i)
    {
        Start();
        if (!running_.empty() && running_.front().first == i) {  // this file's group
            DurationProbe& group = *running_.front().second;
            if (group.Wait()) {
                const std::vector<std::optional<int>> answers = group.GroupAnswers();
                std::copy(answers.begin(), answers.end(), seconds_.begin() + static_cast<std::ptrdiff_t>(i));
            }
            const std::size_t groupEnd = running_.size() > 1 ? running_[1].first : next_;
            groupSize_ = NextGroupSize(groupEnd - i, group.ElapsedMs());
            running_.pop_front();
            Start();
        }
        return seconds_[i];
    }

private:
    // Up to two groups at once, each up to a name the code page cannot hold.
    void Start()
    {
        for (; running_.size() < 2 && next_ < files_.size() && !NameOutsideCodePage(files_[next_]); ++slot_) {
            std::size_t end = next_;
            bool downloads = false;
            for (; end < files_.size() && end - next_ < groupSize_ && !NameOutsideCodePage(files_[end]); ++end)
                downloads = downloads || online_[end];
            const std::vector<std::string> group(files_.begin() + next_, files_.begin() + end);
            const std::string answer = tempFolder_ + kAnswerFiles[1 + slot_ % 2];
            running_.emplace_back(next_, std::make_unique<DurationProbe>(mediaTool_, group, answer, ProbeTimeLimit(downloads, limitMs_)));
            next_ = end;
        }
    }

    const std::vector<std::string>& files_;
    const std::vector<bool>& online_;
    const std::string mediaTool_, tempFolder_;
    const DWORD limitMs_;
    std::vector<std::optional<int>> seconds_;
    std::deque<std::pair<std::size_t, std::unique_ptr<DurationProbe>>> running_;  // from which file
    std::size_t next_ = 0, groupSize_ = kFirstGroup;
    int slot_ = 0;
};


}  // namespace queue
