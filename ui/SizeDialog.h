// "Fit to ▸ Other size…": the size a batch is fitted to, in megabytes.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>

// Asks for a number of megabytes, the current one (0: none) filled in; nothing on Cancel.
std::optional<std::int64_t> AskFitMegabytes(HWND owner, std::int64_t current);
