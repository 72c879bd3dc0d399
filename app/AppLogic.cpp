// Rules of the application shell.
#include "app/AppLogic.h"

#include "framework/text.h"

namespace app {

std::string CollapseBackslashes(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        out += path[i];
        if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\') ++i;
    }
    return out;
}

std::string ProgramFolderUnder(std::string_view specialFolder)
{
    return CollapseBackslashes(std::string(specialFolder) + "\\Orvessa\\");
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

bool ExeFieldMatches(std::string_view exeField, std::string_view exeName)
{
    std::size_t cut = exeField.find_last_of("\\:");
    std::string_view fileName = cut == std::string_view::npos ? exeField : exeField.substr(cut + 1);
    return fw::SameTextAscii(fileName, exeName) || fw::SameTextAscii(exeField, exeName);
}

}  // namespace app
