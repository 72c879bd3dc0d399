// The files the encoder and the disc tool write.
#include "encode/WorkFiles.h"

#include <cstdio>

namespace encode {

std::string TemporaryPathFor(std::string_view outputPath, const std::function<bool(const std::string&)>& taken)
{
    const std::size_t dot = outputPath.rfind('.');
    const std::string_view stem = outputPath.substr(0, dot == std::string_view::npos ? outputPath.size() : dot);
    for (int n = 0; n < 100; ++n) {
        const char digits[3] = {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10), '\0'};
        std::string candidate = std::string(stem) + ".~" + digits;
        if (!taken(candidate)) return candidate;
    }
    return {};
}

std::string NoTemporaryName(std::string_view outputPath)
{
    return "No name beside " + std::string(outputPath) + " is free for the file being converted (name.~00 to name.~99 are all taken).";
}

bool IsTemporaryName(std::string_view path)
{
    const std::size_t n = path.size();
    return n > 4 && path[n - 4] == '.' && path[n - 3] == '~' && path[n - 2] >= '0' && path[n - 2] <= '9' &&
           path[n - 1] >= '0' && path[n - 1] <= '9';
}

std::string FullDiskFailure(std::string_view volume)
{
    return "There is no room left on " + std::string(volume) +
           ": the converted file could not be written. Make room there, or choose another output folder, and convert "
           "it again.";
}

std::string PathTooLong(std::string_view path, std::size_t characters, std::size_t most)
{
    return "The path is too long for the encoder (" + std::to_string(characters) + " characters, where Windows allows " +
           std::to_string(most) + "): " + std::string(path) + ". Choose a shorter output folder or file name.";
}

std::string FirstFreeName(const std::string& outputPath, const std::function<bool(const std::string&)>& taken, int from)
{
    for (int n = std::max(from, 1);; ++n) {
        std::string candidate = n == 1 ? outputPath : NumberedOutputPath(outputPath, n);
        if (!taken(candidate)) return candidate;
    }
}

std::string NumberedOutputPath(std::string_view outputPath, int n)
{
    const std::string_view stem = outputPath.substr(0, outputPath.size() - 4);  // without ".mpg"
    return std::string(stem) + " (" + std::to_string(n) + ").mpg";
}

}  // namespace encode
