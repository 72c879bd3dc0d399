// Rules of the conversion engine.
#include "convert/ConvertLogic.h"

#include "framework/errors.h"

namespace convert {

std::string BuildCommandLine(std::string_view program, std::string_view params)
{
    return std::string(program) + " " + std::string(params);
}

std::string FolderPart(std::string_view path, fw::LeadBytePredicate isLead)
{
    std::size_t i = fw::LastDelimiter("\\:", path, isLead);
    if (i == std::string_view::npos) return {};
    std::size_t length = i + 1;
    if (i > 0 && path[i] == '\\' && path[i - 1] != '\\' && path[i - 1] != ':') length = i;
    return std::string(path.substr(0, length));
}

std::string OutputPathFor(std::string_view inputPath, std::string_view workDir, fw::LeadBytePredicate isLead)
{
    std::string withExt(inputPath);
    std::size_t ext = fw::LastDelimiter(".\\:", withExt, isLead);
    if (ext != std::string::npos && withExt[ext] == '.') withExt.resize(ext);
    withExt += ".mpg";
    std::size_t cut = fw::LastDelimiter("\\:", withExt, isLead);
    std::string fileName = cut == std::string::npos ? withExt : withExt.substr(cut + 1);
    return fw::Trim(std::string(workDir) + "\\" + fileName);
}

std::string FfmpegArgsFor(std::string_view inputPath, std::string_view outputPath)
{
    return " -i \"" + std::string(inputPath) +
           "\" -y -deinterlace -b 900000 -r 25 -ab 128000 -ar 44100 -ac 2 \"" + std::string(outputPath) + "\"";
}

std::int64_t ExpectedSizeFor(std::string_view durationEntry, double rateKBps)
{
    std::int64_t seconds = fw::StrToInt64(durationEntry);
    long double bytes = static_cast<long double>(seconds) * rateKBps * 1024.0L;
    return static_cast<std::int64_t>(bytes);
}

std::string ProgressText(std::int64_t size, std::int64_t expectedSize)
{
    if (expectedSize <= 0) throw fw::EConvertError("Division by zero");
    return std::to_string(size * 100 / expectedSize) + "% Done";
}

}  // namespace convert
