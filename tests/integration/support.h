// What the platform tests share: message pumping, the program's registry key, folders,
// files, the message boxes the program shows, clips made by the embedded encoder.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/handles.h"

namespace testing_support {

// Handles the thread's messages until `done` holds or the time is up; true if it held.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);
void PumpFor(int ms);

// The folder of the running test program, with a final backslash.
std::string ExeFolder();
// The build's folder of fetched tools (ffmpeg.exe, mediainfo.exe, fonts\\).
std::string PayloadFolder();
// A new, empty folder under the temporary folder, with a final backslash.
std::string FreshFolder(const std::string& tag);
void RemoveTree(const std::string& folder);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
DWORD Attributes(const std::string& path);

// The program's settings key.
void DeleteSettings();
bool ReadSetting(const char* name, std::string& value);
void WriteSetting(const char* name, const std::string& value);

// Runs a program and returns what it writes to its standard output.
std::string RunAndCapture(const std::string& commandLine, int timeoutMs = 120000);
// Makes an MP4 clip of `seconds` with the encoder from the build's tool folder.
void MakeClip(const std::string& path, int seconds, const std::string& size = "160x120", int grain = 0);
// A twenty-minute clip, made quickly: a minute looped by stream copy. It keeps an encoder
// busy for longer than a test waits.
void MakeLongClip(const std::string& path);
// Starts a program hidden, its output discarded; an empty handle when it could not start.
fw::unique_handle StartHidden(const std::string& program, const std::string& params);
// Runs a program and waits for it; its exit code, or -1 when it could not start.
int RunAndWaitExit(const std::string& commandLine, const std::string& folder = "", int timeoutMs = 120000);

// A screenshot of the whole screen, kept as test output: NAME.bmp in the folder that
// MERVANE_SHOTS names, else in "shots" beside the test program.
void SaveScreenshot(const std::string& name);
std::string ShotFolder();

// A top-level window of a class of its own, whose messages go to `proc`.
HWND MakeTestWindow(const char* className, WNDPROC proc, DWORD style);

// A visible dialog (window class #32770) of the process, or none.
HWND FindDialogOf(DWORD processId);
// The texts of a dialog's static controls, joined.
std::string DialogText(HWND dialog);
// How many processes run the executable of that name.
int RunningProcesses(const char* exeName);

// Answers the message boxes and dialogs of this process from a thread of its own,
// recording each one's title and text; `respond` may act on a dialog before it is
// dismissed (return true if it dismissed the dialog itself).
class DialogWatcher {
public:
    struct Seen {
        std::string title;
        std::string text;
    };
    explicit DialogWatcher(std::function<bool(HWND dialog)> respond = nullptr);
    ~DialogWatcher();
    std::vector<Seen> Seen_() const;
    int Count() const;

private:
    void Loop();
    std::function<bool(HWND)> respond_;
    mutable std::mutex mutex_;
    std::vector<Seen> seen_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace testing_support
