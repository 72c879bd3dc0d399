// Rules of the application shell: program folders, argument forwarding, process names.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace app {

// Replaces each pair of adjacent backslashes by one, left to right, without rescanning
// what was replaced: three backslashes in a row become two.
std::string CollapseBackslashes(std::string_view path);

// The program's folder under a special folder: the folder, "\Orvessa\", collapsed.
std::string ProgramFolderUnder(std::string_view specialFolder);

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
