// The join's list, its run of the encoder and what it says.
#include "encode/Join.h"

#include <cstdio>
#include <cstdlib>

namespace encode {

double FrameRate(Target target)
{
    return target == Target::VcdNtsc || target == Target::DvdNtsc ? 30000.0 / 1001 : 25.0;
}

double PictureSeconds(Target target, long frames)
{
    return static_cast<double>(frames) / FrameRate(target);
}

std::string JoinList(const std::vector<JoinPart>& parts)
{
    std::string list = "ffconcat version 1.0\n";
    for (const JoinPart& part : parts) {
        // Quoted, a path is taken as it stands but for a quote, which closes, escapes and reopens.
        std::string quoted;
        for (char c : part.path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.6f", part.seconds);
        list += "file '" + quoted + "'\nduration " + seconds + "\n";
    }
    return list;
}

TArguments JoinArguments(Target target, std::string_view list, std::string_view written)
{
    TArguments args;
    args.Add({"-y", "-f", "concat", "-safe", "0", "-i"}).AddPath(list);
    args.Add({"-map", "0", "-c", "copy"});
    // A disc's stream keeps its muxer's packets and rates, as the conversion wrote them.
    if (target == Target::Mpeg) args.Add({"-f", "mpeg"});
    else if (StandardOf(target).dvd) args.Add({"-f", "dvd", "-muxrate", "10080000", "-packetsize", "2048"});
    else args.Add({"-f", "vcd", "-muxrate", "1411200", "-packetsize", "2324", "-muxpreload", "0.44"});
    return args.AddPath(written);
}

TArguments DescribeAllArguments(const std::vector<std::string>& inputs)
{
    TArguments args;
    args.Add({"-hide_banner"});
    for (const std::string& input : inputs) args.Add({"-i"}).AddPath(input);
    return args;
}

std::vector<std::optional<InputFacts>> EachInputFacts(const std::vector<std::string>& logLines, std::size_t inputs)
{
    // Each input's description starts with its "Input #n, ..." line.
    std::vector<std::optional<InputFacts>> facts(inputs);
    std::vector<std::string> lines;
    int input = -1;
    auto take = [&] {
        if (input >= 0 && static_cast<std::size_t>(input) < inputs) facts[static_cast<std::size_t>(input)] = ReadInputFacts(lines);
        lines.clear();
    };
    for (const std::string& line : logLines) {
        if (line.rfind("Input #", 0) == 0) take(), input = std::atoi(line.c_str() + 7);
        lines.push_back(line);
    }
    take();
    return facts;
}

TitleShape TitleShapeOf(const std::vector<std::optional<InputFacts>>& facts, const std::vector<double>& seconds)
{
    double wide = 0, narrow = 0;
    for (std::size_t i = 0; i < facts.size() && i < seconds.size(); ++i)
        if (facts[i]) (WidePicture(Target::DvdPal, facts[i]) ? wide : narrow) += seconds[i];
    const int tracks = facts.empty() || !facts[0] ? 1 : static_cast<int>(CarriedLanguages(facts[0]).size());
    return {wide > narrow, tracks};
}

std::string DefaultJoinedName(std::string_view today)
{
    return "Joined " + std::string(today);
}

std::string PartNote(int part, int parts, const std::string& joined)
{
    return "Part " + std::to_string(part) + " of " + std::to_string(parts) + " of \"" + joined + "\".";
}

std::string JoinedText(const std::string& joined, const std::vector<std::string>& leftOut)
{
    std::string text = "The files were joined into \"" + joined + "\"";
    if (leftOut.empty()) return text + ".";
    text += "; not in it: ";
    constexpr std::size_t kNamed = 5;
    for (std::size_t n = 0; n < leftOut.size() && n < kNamed; ++n)
        text += (n == 0 ? "" : n + 1 == leftOut.size() ? " and " : ", ") + leftOut[n];
    if (leftOut.size() > kNamed) text += " and " + std::to_string(leftOut.size() - kNamed) + " more";
    return text + (leftOut.size() == 1 ? ", which failed, was skipped or has no picture." : ", which failed, were skipped or have no picture.");
}

std::string NotJoinedText(const std::string& why)
{
    std::string reason = why;
    while (!reason.empty() && reason.back() == '.') reason.pop_back();
    return "The files were not joined: " + reason + ". The converted files were kept.";
}

}  // namespace encode
