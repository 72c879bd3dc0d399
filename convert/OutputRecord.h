// TOutputRecord: the outputs the program has saved, kept in a file of the user's local
// application data, so that an existing file is replaced or skipped only where the program
// made it from the same input, and is still as the program saved it.
#pragma once
#include <string>
#include <vector>

#include "convert/OutputNames.h"

namespace convert {

class TOutputRecord {
public:
    // Reads the record; none yet, or an empty path, is an empty record.
    explicit TOutputRecord(std::string path);

    // Whether the file at `output` is one the program saved from `input`, unchanged since.
    bool MadeFrom(const std::string& output, const std::string& input) const;
    // Keeps a file just saved, with its size and time as they are now.
    void Add(const std::string& output, const std::string& input);

private:
    std::string path_;
    std::vector<SavedOutput> outputs_;
};

}  // namespace convert
