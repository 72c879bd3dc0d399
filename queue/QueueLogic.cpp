// Rules of the queue.
#include "queue/QueueLogic.h"

#include <algorithm>
#include <cctype>

#include "framework/errors.h"
#include "framework/text.h"

namespace queue {

std::string FileNamePart(std::string_view path, fw::LeadBytePredicate isLead)
{
    std::size_t cut = fw::LastDelimiter("\\:", path, isLead);
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string NamePart(std::string_view path, fw::LeadBytePredicate isLead)
{
    std::string name = FileNamePart(path, isLead);
    std::size_t dot = fw::LastDelimiter(".", name, isLead);
    return dot == std::string::npos ? name : name.substr(0, dot);
}

namespace {

class TimeReader {
public:
    explicit TimeReader(std::string_view text) : text_(text) {}

    void SkipBlanks()
    {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }
    bool Number(int& value)
    {
        SkipBlanks();
        std::size_t start = pos_;
        long long v = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            if (v < 100000) v = v * 10 + (text_[pos_] - '0');
            ++pos_;
        }
        value = static_cast<int>(v);
        return pos_ > start;
    }
    bool Separator(char c)
    {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return pos_ == text_.size();
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

int DurationToSeconds(std::string_view text)
{
    TimeReader reader(text);
    int hours = 0, minutes = 0, seconds = 0, millis = 0;
    bool ok = reader.Number(hours);
    if (ok && reader.Separator(':')) {
        ok = reader.Number(minutes);
        if (ok && reader.Separator(':')) {
            ok = reader.Number(seconds);
            if (ok && reader.Separator('.')) ok = reader.Number(millis);
        }
    }
    ok = ok && reader.AtEnd() && hours <= 23 && minutes <= 59 && seconds <= 59 && millis <= 999;
    if (!ok) throw fw::EConvertError(fw::FormatText("'%s' is not a valid time", {std::string(text)}));
    return hours * 3600 + minutes * 60 + seconds;
}

std::string ProbeArguments(std::string_view inputPath)
{
    return "--Inform=General;%Duration/String3% \"" + std::string(inputPath) + "\"";
}

std::string GroupProbeArguments(const std::vector<std::string>& inputPaths)
{
    std::string args = "\"--Inform=General;%CompleteName%|%Duration/String3%\\n\"";
    for (const std::string& path : inputPaths) args += " \"" + path + "\"";
    return args;
}

std::vector<std::optional<int>> MediaSecondsFromGroupAnswer(const std::vector<std::string>& lines,
                                                            const std::vector<std::string>& inputPaths)
{
    std::vector<std::optional<int>> seconds(inputPaths.size());
    for (const std::string& line : lines) {
        const std::size_t bar = line.rfind('|');  // never in a Windows name
        if (bar == std::string::npos) continue;
        const std::string name = line.substr(0, bar), duration = fw::Trim(line.substr(bar + 1));
        for (std::size_t i = 0; i < inputPaths.size(); ++i) {
            if (seconds[i] || inputPaths[i] != name || duration.empty()) continue;
            try {
                seconds[i] = DurationToSeconds(duration) + 1;
            } catch (const fw::EConvertError&) {
                // asked again alone, which says what it says of such a file
            }
            break;
        }
    }
    return seconds;
}

std::size_t NextGroupSize(std::size_t lastSize, unsigned lastMs)
{
    const std::size_t fitting = lastSize * kGroupMs / std::max(lastMs, 1u);
    return std::clamp<std::size_t>(fitting, 1, kLargestGroup);
}

std::optional<int> MediaSecondsFromAnswer(const std::vector<std::string>& lines)
{
    // The tool answers a file it cannot read with one empty line.
    if (lines.empty() || fw::Trim(lines[0]).empty()) return std::nullopt;
    return DurationToSeconds(lines[0]) + 1;
}

std::string FailureMessage(std::string_view inputPath, std::string_view reason, fw::LeadBytePredicate isLead)
{
    return FileNamePart(inputPath, isLead) + " was not converted. " + std::string(reason);
}

std::string ReadingCaption(std::size_t number, std::size_t count, std::string_view fileName)
{
    return "Reading " + std::to_string(number) + " of " + std::to_string(count) + ": " + std::string(fileName);
}

std::string NoAnswerInFolderMessage(std::string_view path, fw::LeadBytePredicate isLead)
{
    return "Cannot process file " + FileNamePart(path, isLead) +
           " Bad file header or bad characters in filename! Please use different file.";
}

bool NameOutsideCodePage(std::string_view path)
{
    return path.find('?') != std::string_view::npos;
}

std::string NameOutsideCodePageMessage(std::string_view path, fw::LeadBytePredicate isLead)
{
    return "Cannot process file " + FileNamePart(path, isLead) +
           ": its name has characters that this system's code page cannot hold (shown as \"?\"). "
           "Please rename the file and add it again.";
}

}  // namespace queue

namespace queue {

unsigned AttributeMask(const TAttrOptions& options)
{
    unsigned mask = 0;
    for (TAttrOption option : options) mask |= 1u << static_cast<unsigned>(option);
    return mask;
}

bool PassedOver(unsigned entryAttributes, unsigned mask)
{
    constexpr unsigned kExcluding = 0x2 | 0x4 | 0x8 | 0x10;  // hidden, system, volume label, directory
    return (entryAttributes & kExcluding & ~mask) != 0;
}

bool HasFilterExtension(std::string_view name, std::string_view filter)
{
    if (filter.size() < 3 || filter.substr(0, 2) != "*." || filter.find_first_of("*?", 2) != std::string_view::npos) return true;
    const std::string_view extension = filter.substr(1), end = name.substr(name.size() - std::min(name.size(), extension.size()));
    return name.size() > extension.size() && std::equal(end.begin(), end.end(), extension.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

FolderStep FolderStepFor(unsigned long attributes, unsigned long reparseTag, bool systemName)
{
    constexpr unsigned long kHidden = 0x2, kSystem = 0x4, kReparsePoint = 0x400;
    constexpr unsigned long kNameSurrogate = 0x20000000;  // the tag's bit that IsReparseTagNameSurrogate reads
    if (systemName || (attributes & (kHidden | kSystem)) == (kHidden | kSystem)) return FolderStep::PassedOver;
    // A reparse point with no tag given is taken for a link: Windows always gives one, and
    // Wine gives none for its symbolic links.
    if ((attributes & kReparsePoint) && (reparseTag == 0 || (reparseTag & kNameSurrogate))) return FolderStep::Link;
    return FolderStep::Walk;
}

bool OnlineOnly(unsigned long attributes)
{
    constexpr unsigned long kOffline = 0x1000, kRecallOnOpen = 0x40000, kRecallOnDataAccess = 0x400000;
    return (attributes & (kOffline | kRecallOnOpen | kRecallOnDataAccess)) != 0;
}

}  // namespace queue

namespace queue {

const char* RowStateText(RowState state)
{
    switch (state) {
    case RowState::Done: return "Done";
    case RowState::Failed: return "Failed";
    case RowState::Skipped: return "Skipped";
    case RowState::Pending:
    case RowState::Converting: break;
    }
    return "Pending";
}

int ProgressPercent(std::int64_t size, std::int64_t expectedSize)
{
    if (expectedSize <= 0) throw fw::EConvertError("Division by zero");
    return static_cast<int>(size * 100 / expectedSize);
}

std::string RowText(RowState state, std::optional<int> percent, bool paused)
{
    if (state != RowState::Converting || (!percent && !paused)) return RowStateText(state);
    const std::string shown = percent ? std::to_string(*percent) + "%" : std::string(RowStateText(state));
    return shown + (paused ? " (paused)" : " Done");
}

std::string SavedRowsText(const std::vector<SavedRow>& rows)
{
    std::vector<std::string> lines;
    for (const SavedRow& row : rows)
        lines.push_back(std::to_string(row.seconds) + "\t" + row.path + (row.subfolder.empty() ? "" : "\t" + row.subfolder));
    return fw::JoinLines(lines);
}

std::vector<SavedRow> ParseSavedRows(std::string_view text)
{
    std::vector<SavedRow> rows;
    for (const std::string& line : fw::SplitLines(text)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || tab + 1 == line.size()) continue;
        const std::string seconds = line.substr(0, tab);
        if (seconds.size() > 9 || seconds.find_first_not_of("0123456789") != std::string::npos) continue;
        // No name holds a tab: a second one begins the subfolder.
        const std::size_t second = line.find('\t', tab + 1);
        rows.push_back({line.substr(tab + 1, second == std::string::npos ? std::string::npos : second - tab - 1), std::stoi(seconds),
                        second == std::string::npos ? std::string() : line.substr(second + 1)});
    }
    return rows;
}

std::string RestoreQuestion(std::size_t count)
{
    return "Mervane ended while " + std::to_string(count) + (count == 1 ? " file was" : " files were") +
           " waiting. Add " + (count == 1 ? "it" : "them") + " again?";
}

}  // namespace queue
