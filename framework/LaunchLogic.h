// Rules of starting other programs: their command line and working folder, and why a
// start failed.
#pragma once
#include <string>
#include <string_view>

#include "framework/text.h"

namespace fw {

// Program path, one blank, parameter text. A program path with a blank in it is quoted,
// so that the system does not start a program named by its first word; any other path
// stays unquoted.
std::string BuildCommandLine(std::string_view program, std::string_view params);

// The folder part of a path: up to the last "\" or ":", without that "\" unless the
// character before it is itself "\" or ":" (so a drive root keeps its backslash).
std::string FolderPart(std::string_view path, fw::LeadBytePredicate isLead);

// Why a tool ("The encoder", "The media tool") could not be started, from the system's
// text for the error; with a hint at security software where that is the likely cause.
std::string StartFailure(std::string_view tool, unsigned long errorCode, std::string_view systemText,
                         std::string_view toolPath);

}  // namespace fw
