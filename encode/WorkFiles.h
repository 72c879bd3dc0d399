// The files the encoder and the disc tool write: a temporary beside the final name, which
// becomes it only when whole, the first free name, and what a full disk or a path too long says.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace encode {

// The temporary file the encoder writes beside the output; it becomes the output only when
// the file is done, so that a failed run never leaves a file under the output's name. Its
// path is exactly as long as the output's: "name.~00", "name.~01"..., the first that
// `taken` passes over (a file the user has, or one this run writes). Empty when all are.
std::string TemporaryPathFor(std::string_view outputPath, const std::function<bool(const std::string&)>& taken);
// Why a file fails for which no such name is free.
std::string NoTemporaryName(std::string_view outputPath);
// Whether a file name is one of the temporaries: "name.~" and two digits.
bool IsTemporaryName(std::string_view path);

// Why a run failed on a volume that has no room left.
std::string FullDiskFailure(std::string_view volume);

inline constexpr const char* kInputGone = "The file is no longer there.";
// Why a file fails whose path is longer than the encoder could open.
std::string PathTooLong(std::string_view path, std::size_t characters, std::size_t most);

// The one rule for a free output name: the first of the output's path (from 1) or
// "name (2).mpg", "name (3).mpg"... (from 2 on) that `taken` leaves free.
std::string FirstFreeName(const std::string& outputPath, const std::function<bool(const std::string&)>& taken,
                          int from = 1);

// "name (n).mpg" for the output "name.mpg".
std::string NumberedOutputPath(std::string_view outputPath, int n);

}  // namespace encode
