// What the command line asks: the paths to queue (as ever), and for this run only what to
// make of them, whether to convert at once without asking, and whether to end with the
// batch, with an exit code that says how it went.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "batch/Choices.h"

namespace app {

struct RunRequest {
    std::vector<std::string> paths;
    // Options before the paths, for this run only: none of them is written to the settings.
    std::optional<encode::Target> target;
    std::optional<encode::Quality> quality;
    std::optional<encode::FitTo> fitTo;
    std::optional<std::string> discName;      // /disc: a DVD-Video disc of that name
    std::optional<std::string> joinName;      // /join: the files joined into one of that name
    std::optional<std::string> outputFolder;  // /out
    std::optional<encode::Loudness> loudness;
    std::optional<encode::Fill> fill;
    bool convert = false;  // start once the paths are queued, every question answered as its default
    bool close = false;    // end with the batch, its exit code saying how it went
    bool help = false;     // /?
    std::string error;     // a usage error: what was wrong; empty when none

    // Whether any option at all was given: a running copy takes paths only.
    bool HasOptions() const;
    // The user's choices with this run's options over them.
    batch::Choices Over(batch::Choices choices) const;
};

// Reads the arguments after the program's name. An option is a word that starts with "/" (or
// "-"), in any case, followed by its value where it takes one; any other argument is a path.
RunRequest ParseCommandLine(const std::vector<std::string>& args);

// What `Mervane.exe /?` prints, and a usage error after its reason.
std::string UsageText();

// The exit codes of a run with /close, and of a usage error.
enum ExitCode : int {
    kExitAllDone = 0,         // every row converted (or skipped as the settings say)
    kExitSomeFailed = 1,      // a row failed
    kExitStoppedOrNone = 2,   // the batch was stopped, or nothing could be started
    kExitUsage = 3,           // the command line was not understood, or options went to a running copy
};
// A run's exit code from its rows once the batch is over: failed ones, and ones still
// pending (stopped, or never started); none at all is nothing started.
int ExitCodeOf(int failed, int pending, int rows);

}  // namespace app
