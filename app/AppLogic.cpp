// Rules of the application shell.
#include "app/AppLogic.h"

#include "framework/text.h"

namespace app {

std::string CollapseBackslashes(std::string_view path, fw::LeadBytePredicate isLead)
{
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        out += path[i];
        if (isLead && isLead(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            out += path[++i];  // the trail byte belongs to its character
            continue;
        }
        if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\') ++i;
    }
    return out;
}

std::string ProgramFolderUnder(std::string_view specialFolder, fw::LeadBytePredicate isLead)
{
    return CollapseBackslashes(std::string(specialFolder) + "\\Orvessa\\", isLead);
}

std::string ToolsNotWrittenMessage(std::string_view toolFolder, std::string_view firstFailure)
{
    return "Mervane could not write its tools into its tool folder " + std::string(toolFolder) + " (" +
           fw::WithoutFinalStop(firstFailure) + "). Files cannot be added or converted until they can be written there; "
           "security software or a full disk may be the cause.";
}

std::string EncoderNotWrittenReason(std::string_view toolFolder, std::string_view failure)
{
    return "The encoder could not be written into the tool folder " + std::string(toolFolder) + " at start-up (" +
           fw::WithoutFinalStop(failure) + ").";
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine)
{
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    auto separator = [&](std::size_t k) { return static_cast<unsigned char>(commandLine[k]) <= ' '; };
    while (true) {
        while (i < n && separator(i)) ++i;
        if (i >= n) break;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !separator(i))) {
            if (commandLine[i] == '"')
                quoted = !quoted;
            else
                arg += commandLine[i];
            ++i;
        }
        args.push_back(arg);
    }
    return args;
}

std::string ForwardedArgumentText(const std::vector<std::string>& argsAfterProgram)
{
    std::string text;
    for (const std::string& arg : argsAfterProgram) {
        text += arg + " ";
        if (fw::UpperAscii(text).find(".EXE") != std::string::npos) text.clear();
    }
    return text;
}

std::string PackArguments(const std::vector<std::string>& args)
{
    std::string block;
    for (const std::string& arg : args) block += arg + '\0';
    return block + '\0';
}

std::optional<std::vector<std::string>> UnpackArguments(std::string_view block)
{
    if (block.size() < 2 || block.substr(block.size() - 2) != std::string_view("\0\0", 2)) {
        if (block != std::string_view("\0", 1)) return std::nullopt;
        return std::vector<std::string>{};
    }
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start < block.size() - 1) {
        std::size_t end = block.find('\0', start);
        args.emplace_back(block.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

bool IsMp4Name(std::string_view path)
{
    return path.size() >= 4 && fw::SameTextAscii(path.substr(path.size() - 4), ".mp4");
}

std::string SkippedFilesMessage(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    return "These files are not MP4 files and were not added: " + list + ".";
}

std::string HandOverRefusedMessage(std::string_view reason, bool elevation)
{
    return "Mervane is already running, but did not take the files given to this copy (" +
           fw::WithoutFinalStop(reason) + "). " +
           (elevation ? "If it runs as administrator, add them from its window, or close it and open them again."
                      : "Add them from its window.");
}

std::string NoWindowMessage(std::string_view reason)
{
    std::string why = fw::WithoutFinalStop(reason);
    return "Mervane could not open its window" + (why.empty() ? std::string(".") : ": " + why + ".");
}

}  // namespace app
