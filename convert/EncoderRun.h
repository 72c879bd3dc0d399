// What the batch reads of a running or ended encoder: the size of the file it writes, and
// why a run that has ended is not a finished file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace convert {

// The size of the file the encoder writes, opened with full sharing; none while it cannot
// be measured (not created yet, a folder, or not openable).
std::optional<std::int64_t> MeasureOutput(const std::string& path);

// Why the ended encoder's run is not a finished file, from its exit code and the end of its
// log, with the temporary's name replaced by the output's; empty for a finished file.
std::string EndedRunFailure(HANDLE process, const std::string& log, const std::string& written,
                            const std::string& input, const std::string& output, std::int64_t size);

}  // namespace convert
