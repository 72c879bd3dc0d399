// TOutputRecord: the outputs the program has saved, kept in a file of the user's local
// application data, so that an existing file is replaced or skipped only where the program
// made it from the same input, and is still as the program saved it. A record that is lost
// or cannot be read only makes the program keep files it could have replaced.
#pragma once
#include <string>
#include <unordered_map>

#include "batch/OutputNames.h"

namespace batch {

class TOutputRecord {
public:
    // Reads the record, and makes it whole again where it has grown past what it keeps; none
    // yet, or an empty path, is an empty record.
    explicit TOutputRecord(std::string path);

    // Whether the file at `output` is one the program saved from `input`, unchanged since.
    bool MadeFrom(const std::string& output, const std::string& input) const;
    // Keeps a file just saved, with its size and time as they are now.
    void Add(const std::string& output, const std::string& input);

private:
    std::string path_;
    std::unordered_map<std::string, SavedOutput> newest_;  // by the output's name as the file system compares it
};

}  // namespace batch
