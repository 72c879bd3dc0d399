// One run of the media tool for one file, its answer going to a file of its own.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/handles.h"

class DurationProbe {
public:
    // Starts the tool at once. Raises "Cannot create file "%s". %s" when the answer file
    // cannot be made, and the tool's start failure when it cannot be started.
    DurationProbe(const std::string& mediainfoPath, const std::string& inputPath, const std::string& answerFile,
                  DWORD timeLimitMs);
    // A tool still running is waited for (ended once past its time limit), and the answer
    // file removed.
    ~DurationProbe();
    DurationProbe(const DurationProbe&) = delete;
    DurationProbe& operator=(const DurationProbe&) = delete;

    // Waits for the tool, keeping the window painted; false when its time ran out first
    // (the tool is then ended).
    bool Wait();
    const std::string& AnswerFile() const { return answerFile_; }
    // The answer's lines, once Wait has returned. Raises "Cannot open file "%s". %s".
    std::vector<std::string> AnswerLines() const;
    // Removes the answer files a probe cut short may have left in that folder.
    static void RemoveAnswerFiles(const std::string& folder);

private:
    std::string answerFile_;
    fw::unique_handle process_;
    DWORD started_ = 0;
    DWORD timeLimitMs_ = 0;
};
