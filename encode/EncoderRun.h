// What the batch reads of a running or ended encoder: the size of the file it writes, and
// why a run that has ended is not a finished file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encode/TargetLogic.h"

namespace encode {

// The size of the file the encoder writes, opened with full sharing; none while it cannot
// be measured (not created yet, a folder, or not openable).
std::optional<std::int64_t> MeasureOutput(const std::string& path);

// The last lines of the encoder's log: its closing summary and its errors are at the end.
std::vector<std::string> LogTail(const std::string& path);
// Its first lines: the input's description comes first, however long the log grew.
std::vector<std::string> LogHead(const std::string& path);
// All its lines, as a run describing many inputs writes them.
std::vector<std::string> LogLines(const std::string& path);
// The log's lines, from its start to its end, that hold `marker`.
std::vector<std::string> LogLinesWith(const std::string& path, std::string_view marker);

// Why the ended encoder's run is not a finished file, from its exit code and the end of its
// log, with the temporary's name replaced by the output's; empty for a finished file. A
// failed run on a volume with no room left says so, whatever the encoder said.
std::string EndedRunFailure(HANDLE process, std::vector<std::string> logLines, const std::string& written,
                            const std::string& input, const std::string& output, std::int64_t size);

}  // namespace encode
