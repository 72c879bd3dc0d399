// The taskbar button's progress display, through the shell's ITaskbarList3.
#pragma once
#include <windows.h>

#include <cstdint>

struct ITaskbarList3;

class TTaskbarProgress {
public:
    TTaskbarProgress() = default;
    ~TTaskbarProgress();
    TTaskbarProgress(const TTaskbarProgress&) = delete;
    TTaskbarProgress& operator=(const TTaskbarProgress&) = delete;

    // Shows `done` out of `total` on the window's button: paused, in the error state once a
    // file has failed, or normal. Where the system has no taskbar list, nothing happens.
    enum class Look { Normal, Failed, Paused };
    void Show(HWND window, std::uint64_t done, std::uint64_t total, Look look);
    // Takes the progress off the button.
    void Clear(HWND window);

private:
    ITaskbarList3* List();
    ITaskbarList3* list_ = nullptr;
    bool looked_ = false;
};
