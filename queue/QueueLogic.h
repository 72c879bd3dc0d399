// Rules of the queue: the shown name of a file, the probe's batch file and the reading of its answer.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace queue {

// The file name (after the last backslash or colon) cut before its last full stop.
std::string NamePart(std::string_view path);

// Reads HH[:MM[:SS[.MMM]]] strictly and yields hours*3600 + minutes*60 + seconds.
// Raises fw::EConvertError "'%s' is not a valid time".
int DurationToSeconds(std::string_view text);

// The four lines of open.bat. Each "%" of the input path is doubled, since the command
// interpreter would otherwise expand it and the tool would be given another file.
std::vector<std::string> ProbeBatchLines(std::string_view inputPath, std::string_view tempDir,
                                         std::string_view mediainfoPath);

// The duration entry from the answer file's lines: the seconds plus one as decimal text,
// or no answer when there is no line or the first line holds nothing but blanks.
std::optional<std::string> DurationEntryFromAnswer(const std::vector<std::string>& lines);

// The two messages of the adding operations for a file without an answer.
inline constexpr const char* kNoAnswerSingle =
    "Cannot process this file! Bad file header! Please use different file.";
std::string NoAnswerInFolderMessage(std::string_view path);

}  // namespace queue

namespace queue {

// The finder's attribute options and the search mask they make.
enum class TAttrOption { ffReadOnly, ffHidden, ffSystem, ffVolumeID, ffDirectory, ffArchive };
using TAttrOptions = std::vector<TAttrOption>;
inline const TAttrOptions kDefaultAttributes = {TAttrOption::ffReadOnly, TAttrOption::ffHidden,
                                                TAttrOption::ffSystem, TAttrOption::ffArchive};
unsigned AttributeMask(const TAttrOptions& options);
// An entry is passed over when it has a hidden, system, volume-label or directory bit
// that the mask lacks; read-only and archive never exclude it.
bool PassedOver(unsigned entryAttributes, unsigned mask);

}  // namespace queue

namespace queue {

enum class RowAction { None, Remove, OpenOutputFolder, OpenInput };

// What a click at client x does to the selected row, from the current widths of the
// columns 0 to 3 and the row's state text; band edges act on nothing, and a failed
// row is left to the DEL key.
RowAction ClickAction(int x, const int (&widths)[4], std::string_view state);

}  // namespace queue
