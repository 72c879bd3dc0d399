// Rules of the queue: the shown name of a file, the probe's batch file and the reading of its answer.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/text.h"

namespace queue {

// The file name: the text after the last backslash or colon.
std::string FileNamePart(std::string_view path, fw::LeadBytePredicate isLead);

// The file name (after the last backslash or colon) cut before its last full stop.
std::string NamePart(std::string_view path, fw::LeadBytePredicate isLead);

// Reads HH[:MM[:SS[.MMM]]] strictly and yields hours*3600 + minutes*60 + seconds.
// Raises fw::EConvertError "'%s' is not a valid time".
int DurationToSeconds(std::string_view text);

// The answer files in the temporary folder: one for a file asked alone, and one for each of
// the two groups that may be asked at once.
inline constexpr const char* kAnswerFiles[] = {"duration_time.txt", "duration_time_2.txt", "duration_time_3.txt"};

// The media tool's arguments for one file: the duration as HH:MM:SS.MMM, and the path
// quoted. The tool is started directly, so nothing in the path is expanded or escaped.
std::string ProbeArguments(std::string_view inputPath);
// The same for several files in one run, which saves a start of the tool for each: a line
// for each file it can read, its path, "|" and its duration.
std::string GroupProbeArguments(const std::vector<std::string>& inputPaths);
// Each file's media seconds from a group's answer, in the files' order; none for a file the
// answer does not name with a duration (a file the tool could not read, a name it wrote
// otherwise), which is asked again alone.
std::vector<std::optional<int>> MediaSecondsFromGroupAnswer(const std::vector<std::string>& lines,
                                                            const std::vector<std::string>& inputPaths);
// How many files the next group asks about, so that a group takes about `kGroupMs`: ESC and
// the caption's count are looked at between groups. From the size and time of the last.
inline constexpr unsigned kGroupMs = 400;
inline constexpr std::size_t kFirstGroup = 4, kLargestGroup = 64;
std::size_t NextGroupSize(std::size_t lastSize, unsigned lastMs);

// The media seconds from the answer file's lines: the whole seconds plus one, or no answer
// when there is no line or the first line holds nothing but blanks.
std::optional<int> MediaSecondsFromAnswer(const std::vector<std::string>& lines);

// The message a click on "Failed" shows: the input's file name and the reason.
std::string FailureMessage(std::string_view inputPath, std::string_view reason, fw::LeadBytePredicate isLead);

// The list's caption while a long "Add Folder" reads its files: "Reading 12 of 50: clip12.mp4".
std::string ReadingCaption(std::size_t number, std::size_t count, std::string_view fileName);

// The two messages of the adding operations for a file without an answer.
inline constexpr const char* kNoAnswerSingle =
    "Cannot process this file! Bad file header! Please use different file.";
std::string NoAnswerInFolderMessage(std::string_view path, fw::LeadBytePredicate isLead);

// A path with "?" in it names a file whose name the ANSI code page cannot hold: the
// system put "?" in place of the characters it could not convert.
bool NameOutsideCodePage(std::string_view path);
std::string NameOutsideCodePageMessage(std::string_view path, fw::LeadBytePredicate isLead);

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
// Whether a name found by the pattern "*.ext" has that extension: the system matches the
// pattern against a file's short 8.3 name too, so that "x.mp4_" is found by "*.mp4".
bool HasFilterExtension(std::string_view name, std::string_view filter);

// What a tree's walk does with a folder it finds.
enum class FolderStep {
    Walk,
    Link,       // a symbolic link, junction or mount point: named, not followed
    PassedOver  // the system's own, or a hidden system folder (an old RECYCLER, a cache)
};
// From the entry's attributes and its reparse tag (which the search gives for a reparse
// point). Only name surrogates lead elsewhere: a cloud folder (OneDrive, Dropbox, iCloud)
// carries a reparse point too, and is walked.
FolderStep FolderStepFor(unsigned long attributes, unsigned long reparseTag, bool systemName);
// A file whose data is not on this computer (a cloud placeholder, an offline file): reading
// it downloads it.
bool OnlineOnly(unsigned long attributes);

}  // namespace queue

namespace queue {

// A row's state. Pending, Done and Failed show as those words; a row whose encoder runs
// shows "Pending" until its output is first measured, then "N% Done".
enum class RowState { Pending, Converting, Done, Failed, Skipped };
// Done, or skipped for a converted file that exists from an earlier run: there is a file to open.
inline bool Finished(RowState state) { return state == RowState::Done || state == RowState::Skipped; }
// The words a row in that state shows ("Pending" for a conversion not yet measured).
const char* RowStateText(RowState state);
// What a row shows: its state's words; a conversion measured at `percent` "42% Done"; one
// paused "42% (paused)", or "Pending (paused)" before it was measured.
std::string RowText(RowState state, std::optional<int> percent, bool paused);
// What a finished row shows in the converted column.
inline constexpr const char* kConvertedText = "MPG";

// The share of a measured size against the expected one, in per cent; not capped at 100.
// Raises "Division by zero" for an expected size of none.
int ProgressPercent(std::int64_t size, std::int64_t expectedSize);

// The rows kept against a crash: a line each, the media seconds, a tab, the path. A path
// never holds a tab or a line break.
struct SavedRow {
    std::string path;
    int seconds = 0;
    std::string subfolder{};  // where a folder's tree had it; after a tab, when there is one
    bool operator==(const SavedRow&) const = default;
};
std::string SavedRowsText(const std::vector<SavedRow>& rows);
// The rows of such a text; a line that is not one is passed over.
std::vector<SavedRow> ParseSavedRows(std::string_view text);
// What the next start asks after a crash.
std::string RestoreQuestion(std::size_t count);
}  // namespace queue
