// Rules of starting other programs.
#include "framework/LaunchLogic.h"

namespace fw {

std::string BuildCommandLine(std::string_view program, std::string_view params)
{
    std::string quoted = program.find(' ') == std::string_view::npos ? std::string(program)
                                                                       : "\"" + std::string(program) + "\"";
    return quoted + " " + std::string(params);
}

std::string FolderPart(std::string_view path, fw::LeadBytePredicate isLead)
{
    std::size_t i = fw::LastDelimiter("\\:", path, isLead);
    if (i == std::string_view::npos) return {};
    std::size_t length = i + 1;
    if (i > 0 && path[i] == '\\' && path[i - 1] != '\\' && path[i - 1] != ':') length = i;
    return std::string(path.substr(0, length));
}

std::string StartFailure(std::string_view tool, unsigned long errorCode, std::string_view systemText,
                         std::string_view toolPath)
{
    constexpr unsigned long kFileNotFound = 2, kPathNotFound = 3, kAccessDenied = 5;
    std::string text = std::string(tool) + " could not be started: " + fw::WithoutFinalStop(systemText) + " (" +
                       std::string(toolPath) + ").";
    if (errorCode == kFileNotFound || errorCode == kPathNotFound || errorCode == kAccessDenied)
        text += " Security software may have blocked or removed it.";
    return text;
}

}  // namespace fw
