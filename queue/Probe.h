// One run of the media tool for one file, or for a group of files, its answer going to a
// file of its own.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/handles.h"

class DurationProbe {
public:
    // Starts the tool at once. Raises "Cannot create file "%s". %s" when the answer file
    // cannot be made, and the tool's start failure when it cannot be started.
    DurationProbe(const std::string& mediainfoPath, const std::string& inputPath, const std::string& answerFile,
                  DWORD timeLimitMs);
    // One run for the files of a group.
    DurationProbe(const std::string& mediainfoPath, const std::vector<std::string>& inputPaths,
                  const std::string& answerFile, DWORD timeLimitMs);
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
    // A group's answer, once Wait has returned: each file's media seconds, none for a file
    // not answered.
    std::vector<std::optional<int>> GroupAnswers() const;
    // How long the tool has run, or ran.
    DWORD ElapsedMs() const { return (ended_ ? ended_ : GetTickCount()) - started_; }
    // Removes the answer files a probe cut short may have left in that folder.
    static void RemoveAnswerFiles(const std::string& folder);

private:
    void Start(const std::string& mediainfoPath, const std::string& arguments);
    std::string answerFile_;
    std::vector<std::string> asked_;  // a group's files, as the tool was given them
    fw::unique_handle process_;
    DWORD started_ = 0;
    DWORD ended_ = 0;
    DWORD timeLimitMs_ = 0;
};
