// What the encoder's log says of a run: whether it finished, why it failed, and how far it
// read its input.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace encode {

// The encoder's output as it ends a complete run: its closing summary line
// ("video:... audio:... muxing overhead: ...").
bool EncoderFinished(const std::vector<std::string>& logLines);

// The encoder's line that says best what went wrong: the last one that names a fault of
// the input or the output ("Invalid data found...", "No space left on device"...); else
// the last line that is not a progress line, its banner, stream listing or summary, an
// indented detail or one of its closing complaints ("Error marking filters as finished",
// "Conversion failed!"), which come only when nothing else is there. Empty when there is
// none.
std::string ReasonLine(const std::vector<std::string>& logLines);

// Why a run of the encoder that has ended is not a finished file; empty when it is one
// (exit code 0, the closing summary, an output of some bytes).
std::string EncoderFailure(unsigned long exitCode, const std::vector<std::string>& logLines, std::int64_t outputSize);
// An exit code as the user may look it up: the encoder's own are negative error numbers
// ("-22"), with their meaning where known; a crash is the system's code in hex ("0xC0000005").
std::string ExitCodeText(unsigned long exitCode);

// How far the encoder read its input, as its log says: the input's duration ("Duration:"
// near the log's head) and the end of its last progress ("time=" near its tail), in seconds,
// each none where the log does not say; and the read error it went past, if any.
struct ReadThrough {
    std::optional<double> duration{}, read{};
    std::optional<long> frames{};  // the pictures written, as its last progress says
    std::string readError{};  // "Input/output error": the input stopped answering
    // The media tool's duration, in whole seconds: where a header says more than the file
    // holds (a stream's segments saved from the middle), the two disagree, and the shorter holds.
    std::optional<double> probed{};
};
ReadThrough ReadThroughOf(const std::vector<std::string>& headLines, const std::vector<std::string>& tailLines);
// The encoder ends a run that could not read its input to the end as if it had: a read
// error fails the row, an input that simply ends early is done with a note. Two seconds, or
// 0.5 % (36 s of a two-hour film), is allowed for edit lists and rounded frames. Both empty
// for a whole read.
struct ShortRead {
    std::string failure{};
    std::string note{};
};
ShortRead ShortReadOf(const ReadThrough& run);
}  // namespace encode
