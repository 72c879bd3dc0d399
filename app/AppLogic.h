// Rules of the application shell: program folders, argument forwarding, process names.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/text.h"

namespace app {

// Replaces each pair of adjacent backslashes by one, left to right, without rescanning
// what was replaced: three backslashes in a row become two. The second half of a
// double-byte character is never taken for a backslash.
std::string CollapseBackslashes(std::string_view path, fw::LeadBytePredicate isLead);

// The program's folder under a special folder: the folder, "\Orvessa\", collapsed.
std::string ProgramFolderUnder(std::string_view specialFolder, fw::LeadBytePredicate isLead);

// The start-up message when the tools could not be written, naming the tool folder and
// the first file that failed with the system's reason ("ffmpeg.exe: Access denied.").
std::string ToolsNotWrittenMessage(std::string_view toolFolder, std::string_view firstFailure);
// The list's caption while an action waits for the tools to be written.
inline constexpr const char* kPreparingTools = "Preparing the encoder and the media tool...";
// Why every conversion fails when the encoder itself could not be written.
std::string EncoderNotWrittenReason(std::string_view toolFolder, std::string_view failure);

// Splits a command line into arguments: at blanks and control characters outside double
// quotes, with the quotes removed. The first argument is the program itself.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The argument list a second copy hands to the running one (WM_COPYDATA, dwData =
// kArgumentBlockTag): each argument in order, each ended by a NUL, and one more NUL after
// the last, as in a REG_MULTI_SZ value. An argument never holds a NUL, and an empty list
// is not sent.
inline constexpr unsigned long kArgumentBlockTag = 0x4D564131;  // "MVA1"
std::string PackArguments(const std::vector<std::string>& args);
// The arguments of a block; none when the block is not one (no final double NUL).
std::optional<std::vector<std::string>> UnpackArguments(std::string_view block);

// Whether a dropped or handed-over file is an MP4 file: its extension, in any case.
bool IsMp4Name(std::string_view path);
// Why a dropped or handed-over item was not added.
enum class NotAdded { Missing, NotMp4, OutsideCodePage, Unreadable, Link, NoAnswer, OnlineOnly };
struct RefusedItem {
    std::string name;  // the file name part, as the user knows it
    NotAdded why;
};
// At most this many names in one message; the rest are counted.
inline constexpr std::size_t kMostNamed = 10;
// One message for everything a burst of drops and hand-overs could not add, grouped by
// reason in the order the reasons first came: "These files were not added. Not found:
// a.mp4, b.mp4. Not MP4 files: notes.txt." and "...and 4 more." past kMostNamed names.
std::string NotAddedMessage(const std::vector<RefusedItem>& refused);
// What is asked once in a burst before files whose data is online only are read, which
// downloads them: "23 files (about 14 GB) are online-only. Download them to convert?"
std::string OnlineOnlyQuestion(std::size_t files, std::int64_t bytes);
// The list's caption while such a file is read.
std::string DownloadingCaption(std::string_view fileName);
// Files that came while a batch converts: kept, and queued when it has finished.
std::string AddedAfterConversionMessage(const std::vector<std::string>& names);
// A path as a drop or another program may write it: the "\\?\" long form made plain
// ("\\?\C:\a" is "C:\a", "\\?\UNC\server\share" is "\\server\share").
std::string WithoutLongPrefix(std::string_view path);

// What a second copy says when the running copy did not take its files, with the reason;
// the hint at administrator rights only where the system refused for that.
std::string HandOverRefusedMessage(std::string_view reason, bool elevation);
// What a start says that could not make its window.
std::string NoWindowMessage(std::string_view reason);

}  // namespace app
