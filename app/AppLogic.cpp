// Rules of the application shell.
#include "app/AppLogic.h"

#include <algorithm>

#include "encode/FitLogic.h"
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

namespace {

// "a, b, c": the first `count` names.
std::string NameList(const std::vector<std::string>& names, std::size_t count)
{
    std::string list;
    for (std::size_t i = 0; i < count && i < names.size(); ++i) list += (i == 0 ? "" : ", ") + names[i];
    return list;
}

std::string MoreLine(std::size_t total, std::size_t named)
{
    return named < total ? " ...and " + std::to_string(total - named) + " more." : std::string();
}

}  // namespace

namespace {

const char* Heading(NotAdded why)
{
    switch (why) {
    case NotAdded::Missing: return "Not found";
    case NotAdded::NotMp4: return "Not MP4 files";
    case NotAdded::Unreadable: return "In folders that could not be read (passed over)";
    case NotAdded::Link: return "Links and mount points (not followed)";
    case NotAdded::NoAnswer: return "Files the media tool could not read (a bad file header)";
    case NotAdded::OnlineOnly: return "Online-only files (not downloaded)";
    case NotAdded::OutsideCodePage: break;
    }
    return "Names with characters this system's code page cannot hold (rename them and add them again)";
}

}  // namespace

std::string OnlineOnlyQuestion(std::size_t files, std::int64_t bytes)
{
    const bool one = files == 1;
    return std::to_string(files) + (one ? " file (about " : " files (about ") + encode::SizeText(bytes) +
           (one ? ") is online-only. Download it to convert?" : ") are online-only. Download them to convert?");
}

std::string DownloadingCaption(std::string_view fileName)
{
    return "Downloading " + std::string(fileName) + " to read it";
}

std::string NotAddedMessage(const std::vector<RefusedItem>& refused)
{
    struct Group {
        NotAdded why;
        std::vector<std::string> names;
        std::size_t shown = 0;
    };
    std::vector<Group> groups;
    for (const RefusedItem& item : refused) {
        auto group = std::find_if(groups.begin(), groups.end(), [&](const Group& g) { return g.why == item.why; });
        if (group == groups.end()) group = groups.insert(groups.end(), {item.why, {}});
        group->names.push_back(item.name);
    }
    // The room is shared in turn, so that every reason shows at least one of its files.
    std::size_t named = 0;
    for (bool more = true; more && named < kMostNamed;) {
        more = false;
        for (Group& group : groups)
            if (named < kMostNamed && group.shown < group.names.size()) {
                ++group.shown;
                ++named;
                more = true;
            }
    }
    std::string text = "These files were not added.";
    for (const Group& group : groups) {
        const char* heading = Heading(group.why);
        text += std::string(" ") + heading + ": " + NameList(group.names, group.shown) + ".";
    }
    return text + MoreLine(refused.size(), named);
}

std::string AddedAfterConversionMessage(const std::vector<std::string>& names)
{
    const std::size_t named = std::min(names.size(), kMostNamed);
    return "These files will be added when the conversion has finished: " + NameList(names, named) + "." +
           MoreLine(names.size(), named);
}

std::string WithoutLongPrefix(std::string_view path)
{
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + std::string(path.substr(8));
    if (path.rfind("\\\\?\\", 0) == 0) return std::string(path.substr(4));
    return std::string(path);
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
