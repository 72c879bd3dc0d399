// TOutputs: where a batch's files go. Each row's output is named by the pattern in its folder,
// claimed for the run so that no two inputs share a name, and placed by the choice for an
// existing file; what the batch saves is recorded, so that a later run knows the program's own.
#pragma once
#include <memory>
#include <string>

#include "batch/BatchSetup.h"
#include "batch/OutputFiles.h"
#include "batch/Plan.h"

namespace batch {

class TOutputRecord;

// Where one row's output goes.
struct OutputPlace {
    std::string path;         // empty when it passes Windows' limits
    std::string note{};       // why it is not where it was meant to go
    bool skipped = false;     // a file of the name is kept, and the row is skipped
    bool mayReplace = true;   // whether a file at its name is replaced when it is saved
};

// Where the output of the `number`th row, of `input` found in `subfolder` of a tree, is meant
// to go: in the output folder or beside its input where that folder can be written.
MeantOutput MeantOutputFor(const Choices& choices, const std::string& outputFolder, const std::string& input,
                           const std::string& subfolder, int number);

class TOutputs {
public:
    explicit TOutputs(const BatchSetup& setup);
    ~TOutputs();
    TOutputs(const TOutputs&) = delete;
    TOutputs& operator=(const TOutputs&) = delete;

    // The claims, shared with the threads that save.
    const std::shared_ptr<TOutputClaims>& Claims() const { return claims_; }
    // The output of this run for the input, found in `subfolder` of a tree, where the plan
    // meant it to go or under a free name beside it; claimed.
    OutputPlace Place(const MeantOutput& meant, const std::string& input, const std::string& subfolder);
    // A row that did not start gives its claim up.
    void Release(const std::string& output) { claims_->Release(output); }
    // A conversion ended: what it meant to write and what it saved (if anything) are written
    // for the run; a converted file is recorded as the program's own, made from `input`.
    void Ended(const std::string& output, const std::string& savedAs, const std::string& input, bool converted);

private:
    const BatchSetup& setup_;
    std::shared_ptr<TOutputClaims> claims_;
    std::unique_ptr<TOutputRecord> record_;
};

}  // namespace batch
