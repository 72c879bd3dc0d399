// Rules of the conversion engine.
#include "convert/ConvertLogic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "convert/FitLogic.h"
#include "framework/errors.h"
#include "queue/QueueLogic.h"

namespace convert {

std::string OutputPathFor(std::string_view folder, std::string_view fileName)
{
    return fw::Trim(std::string(folder) + "\\" + std::string(fileName));
}

std::string TemporaryPathFor(std::string_view outputPath, const std::function<bool(const std::string&)>& taken)
{
    const std::size_t dot = outputPath.rfind('.');
    const std::string_view stem = outputPath.substr(0, dot == std::string_view::npos ? outputPath.size() : dot);
    for (int n = 0; n < 100; ++n) {
        const char digits[3] = {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10), '\0'};
        std::string candidate = std::string(stem) + ".~" + digits;
        if (!taken(candidate)) return candidate;
    }
    return {};
}

std::string NoTemporaryName(std::string_view outputPath)
{
    return "No name beside " + std::string(outputPath) + " is free for the file being converted (name.~00 to name.~99 are all taken).";
}

bool IsTemporaryName(std::string_view path)
{
    const std::size_t n = path.size();
    return n > 4 && path[n - 4] == '.' && path[n - 3] == '~' && path[n - 2] >= '0' && path[n - 2] <= '9' &&
           path[n - 1] >= '0' && path[n - 1] <= '9';
}

std::int64_t ExpectedSizeFor(int mediaSeconds, double rateKBps)
{
    const long double bytes = static_cast<long double>(mediaSeconds) * rateKBps * 1024.0L;
    return static_cast<std::int64_t>(bytes);
}

}  // namespace convert

namespace convert {

std::string FullDiskFailure(std::string_view volume)
{
    return "There is no room left on " + std::string(volume) +
           ": the converted file could not be written. Make room there, or choose another output folder, and convert "
           "it again.";
}

std::string LogFailure(std::string_view logPath, std::string_view systemText)
{
    return "The encoder's log " + std::string(logPath) + " could not be made: " + fw::WithFullStop(fw::WithoutFinalStop(systemText));
}

std::string SaveFailure(std::string_view outputPath, std::string_view systemText)
{
    return "The converted file could not be saved as " + std::string(outputPath) + ": " +
           fw::WithFullStop(fw::WithoutFinalStop(systemText));
}

std::string PathTooLong(std::string_view path, std::size_t characters, std::size_t most)
{
    return "The path is too long for the encoder (" + std::to_string(characters) + " characters, where Windows allows " +
           std::to_string(most) + "): " + std::string(path) + ". Choose a shorter output folder or file name.";
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

int EncoderCount(unsigned logicalProcessors, std::string_view setting)
{
    constexpr int kMostByDefault = 4;
    try {
        const int set = fw::StrToInt(fw::Trim(setting));
        if (set >= 1 && set <= kMostEncoders) return set;
    } catch (const fw::EConvertError&) {
        // not a number: the machine's share
    }
    if (logicalProcessors < 2) return 1;
    return std::clamp(static_cast<int>(logicalProcessors / 2), 2, kMostByDefault);
}

std::string FreeOutputPath(const std::string& outputPath, const std::string& inputPath, const ClaimedOutputs& claimed,
                           SamePath same)
{
    auto isFree = [&](const std::string& candidate) {
        for (const ClaimedOutput& c : claimed)
            if (same(c.output, candidate) && (c.writing || !same(c.input, inputPath))) return false;
        return true;
    };
    return FirstFreeName(outputPath, [&](const std::string& candidate) { return !isFree(candidate); });
}

std::string TOutputClaims::Claim(const std::string& outputPath, const std::string& inputPath,
                                 const std::function<bool(const std::string&)>& taken, int from)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const std::string claimed = FirstFreeName(outputPath, [&](const std::string& candidate) {
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

std::string FirstFreeName(const std::string& outputPath, const std::function<bool(const std::string&)>& taken, int from)
{
    for (int n = std::max(from, 1);; ++n) {
        std::string candidate = n == 1 ? outputPath : NumberedOutputPath(outputPath, n);
        if (!taken(candidate)) return candidate;
    }
}

std::string NumberedOutputPath(std::string_view outputPath, int n)
{
    const std::string_view stem = outputPath.substr(0, outputPath.size() - 4);  // without ".mpg"
    return std::string(stem) + " (" + std::to_string(n) + ").mpg";
}

}  // namespace convert
