// What a batch takes from the program at its start, and what it tells of each file it
// converts: read by the batch, its conversions and its outputs alike.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "batch/Choices.h"
#include "batch/Plan.h"

namespace batch {

// What a batch takes from the program when it starts.
struct BatchSetup {
    std::string encoderPath{};
    std::string outputFolder{};
    std::string logFolder{};       // the encoders' logs, one for each that runs at once
    std::string encoderMissing{};  // why every file fails: the encoder could not be staged
    std::string listFolder{};      // where the temporaries being written are listed, if anywhere
    int encoders = 1;            // at most this many at once: EncoderCount's, 1 or more
    std::string discTool{};      // makes a disc of a DVD batch, where one is chosen
    std::string menuTool{};      // puts the buttons into a disc menu's pages
    std::string font{};          // a disc menu's words are drawn in it
    // What the user chose; a file found in a subfolder goes to the same subfolder of the output folder.
    Choices choices{};
    // Its rows' seconds and, fitted to a size, its video rate at the start.
    BatchPlan plan{};
    // What every file of a joined batch takes: on a disc its one title's shape (found by
    // describing them all first), in a joined file one track of sound.
    std::optional<encode::TitleShape> title{};
    // The record of the outputs the program saved, if any: an existing file is replaced or
    // skipped only where it says the program made it from the same input.
    std::string outputRecord{};
};

// A file the batch converts now, as it tells it.
struct RunningFile {
    int id = 0;  // the queue's row id: rows are found by it, never by their index
    std::string input;
    std::string output;
    std::string written;  // the temporary file the encoder writes
    double mediaSeconds = 0;  // the input's duration
    int slot = 0;  // which of the encoders that run at once: names its log
    std::int64_t expectedSize = 0;
};

}  // namespace batch
