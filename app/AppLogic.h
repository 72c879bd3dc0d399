// Rules of the application shell: program folders, argument forwarding, process names.
#pragma once
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
// Why every conversion fails when the encoder itself could not be written.
std::string EncoderNotWrittenReason(std::string_view toolFolder, std::string_view failure);

// Splits a command line into arguments: at blanks and control characters outside double
// quotes, with the quotes removed. The first argument is the program itself.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The text a second copy forwards: each argument after the program name plus one blank;
// an argument whose upper-case form holds ".EXE" drops everything gathered so far.
std::string ForwardedArgumentText(const std::vector<std::string>& argsAfterProgram);

// Whether a process entry's executable field names `exeName`: the part after the last
// backslash or colon, or else the whole field, equal with ASCII case folded.
bool ExeFieldMatches(std::string_view exeField, std::string_view exeName);

}  // namespace app
