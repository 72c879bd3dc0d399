// The batch's output files.
#include "batch/OutputFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "encode/FitLogic.h"
#include "framework/errors.h"
#include "queue/QueueLogic.h"

namespace batch {

std::string OutputPathFor(std::string_view folder, std::string_view fileName)
{
    return fw::Trim(std::string(folder) + "\\" + std::string(fileName));
}

}  // namespace batch

namespace batch {

std::string LogFailure(std::string_view logPath, std::string_view systemText)
{
    return "The encoder's log " + std::string(logPath) + " could not be made: " + fw::WithFullStop(fw::WithoutFinalStop(systemText));
}

std::string SaveFailure(std::string_view outputPath, std::string_view systemText)
{
    return "The converted file could not be saved as " + std::string(outputPath) + ": " +
           fw::WithFullStop(fw::WithoutFinalStop(systemText));
}

std::string SavedBesideNote(std::string_view outputPath, std::string_view savedAs, std::string_view systemText,
                            fw::LeadBytePredicate isLead)
{
    return "The converted file was saved as " + queue::FileNamePart(savedAs, isLead) + ", since " +
           queue::FileNamePart(outputPath, isLead) +
           " could not be replaced: " + fw::WithFullStop(fw::WithoutFinalStop(systemText));
}

std::string DateNotKeptNote(std::string_view inputPath, std::string_view systemText, fw::LeadBytePredicate isLead)
{
    return "The converted file does not have the modified time of " + queue::FileNamePart(inputPath, isLead) + ": " +
           fw::WithFullStop(fw::WithoutFinalStop(systemText));
}

std::string JoinNotes(std::string first, const std::string& second)
{
    if (first.empty()) return second;
    if (!second.empty()) first.append(" ").append(second);
    return first;
}

std::uint64_t FileProgress(std::int64_t size, std::int64_t expectedSize)
{
    if (size <= 0 || expectedSize <= 0) return 0;
    return std::min<std::uint64_t>(kProgressPerFile, static_cast<std::uint64_t>(size) * kProgressPerFile /
                                                         static_cast<std::uint64_t>(expectedSize));
}

int EncoderCount(unsigned logicalProcessors, int chosen)
{
    constexpr int kMostByDefault = 4;
    if (chosen >= 1 && chosen <= kMostEncoders) return chosen;
    if (logicalProcessors < 2) return 1;
    return std::clamp(static_cast<int>(logicalProcessors / 2), 2, kMostByDefault);
}

int EncodersChosen(std::string_view setting)
{
    try {
        const int set = fw::StrToInt(fw::Trim(setting));
        return set >= 1 && set <= kMostEncoders ? set : 0;
    } catch (const fw::EConvertError&) {
        return 0;  // not a number: the machine's share
    }
}

std::string FreeOutputPath(const std::string& outputPath, const std::string& inputPath, const ClaimedOutputs& claimed,
                           SamePath same)
{
    auto isFree = [&](const std::string& candidate) {
        for (const ClaimedOutput& c : claimed)
            if (same(c.output, candidate) && (c.writing || !same(c.input, inputPath))) return false;
        return true;
    };
    return encode::FirstFreeName(outputPath, [&](const std::string& candidate) { return !isFree(candidate); });
}

std::string TOutputClaims::Claim(const std::string& outputPath, const std::string& inputPath,
                                 const std::function<bool(const std::string&)>& taken, int from)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const std::string claimed = encode::FirstFreeName(outputPath, [&](const std::string& candidate) {
        return FreeOutputPath(candidate, inputPath, claims_, same_) != candidate || (taken && taken(candidate));
    }, from);
    const auto own = std::find_if(claims_.begin(), claims_.end(), [&](const ClaimedOutput& c) { return same_(c.output, claimed); });
    if (own != claims_.end()) *own = {claimed, inputPath, true};
    else claims_.push_back({claimed, inputPath, true});
    return claimed;
}

void TOutputClaims::Release(const std::string& outputPath)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    std::erase_if(claims_, [&](const ClaimedOutput& c) { return c.output == outputPath; });
}

void TOutputClaims::Written(const std::string& outputPath)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    for (ClaimedOutput& claim : claims_)
        if (claim.output == outputPath) claim.writing = false;
}

}  // namespace batch
