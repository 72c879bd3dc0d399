// The duration probe: the media tool run directly on the file, its answer read back.
#include "queue/Probe.h"

#include "framework/LaunchLogic.h"
#include "framework/Launcher.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "queue/QueueLogic.h"

DurationProbe::DurationProbe(const std::string& mediainfoPath, const std::string& inputPath,
                             const std::string& answerFile, DWORD timeLimitMs)
    : answerFile_(answerFile), started_(GetTickCount()), timeLimitMs_(timeLimitMs)
{
    Start(mediainfoPath, queue::ProbeArguments(fw::ExtendedPath(inputPath)));
}

DurationProbe::DurationProbe(const std::string& mediainfoPath, const std::vector<std::string>& inputPaths,
                             const std::string& answerFile, DWORD timeLimitMs)
    : answerFile_(answerFile), started_(GetTickCount()), timeLimitMs_(timeLimitMs)
{
    for (const std::string& path : inputPaths) asked_.push_back(fw::ExtendedPath(path));
    Start(mediainfoPath, queue::GroupProbeArguments(asked_));
}

void DurationProbe::Start(const std::string& mediainfoPath, const std::string& arguments)
{
    // Started directly, the tool gets the paths as the program has them: no command
    // interpreter reads them in another code page or expands their "%" signs.
    fw::StartError error;
    process_ = fw::StartWithoutConsole(mediainfoPath, arguments, {answerFile_}, error);
    if (process_) return;
    const std::string text = fw::SystemErrorText(error.code);
    if (error.outputFile) throw fw::EFCreateError(fw::FormatText("Cannot create file \"%s\". %s", {answerFile_, text}));
    DeleteFileA(answerFile_.c_str());
    throw fw::Exception(fw::StartFailure("The media tool", error.code, text, mediainfoPath));
}

DurationProbe::~DurationProbe()
{
    // A probe that is no longer wanted is let finish rather than killed: the tool needs a
    // moment at most, and Wine leaves the hidden console of a program killed while it is
    // still starting behind. Only a tool past its time limit is ended.
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) Wait();
    DeleteFileA(answerFile_.c_str());
}

void DurationProbe::RemoveAnswerFiles(const std::string& folder)
{
    for (const char* name : queue::kAnswerFiles) DeleteFileA((folder + name).c_str());
}

bool DurationProbe::Wait()
{
    const DWORD spent = GetTickCount() - started_;
    const DWORD left = spent >= timeLimitMs_ ? 0 : timeLimitMs_ - spent;
    const bool ended = fw::WaitAnswering(process_.get(), left);
    if (!ended) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
    ended_ = GetTickCount();
    fw::WaitUntilReleased(answerFile_);  // so that it can be read whole and removed at once
    return ended;
}

std::vector<std::string> DurationProbe::AnswerLines() const
{
    fw::unique_handle file(CreateFileA(answerFile_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw fw::EFOpenError(
            fw::FormatText("Cannot open file \"%s\". %s", {answerFile_, fw::SystemErrorText(GetLastError())}));
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return fw::SplitLines(text);
}

std::vector<std::optional<int>> DurationProbe::GroupAnswers() const
{
    std::vector<std::string> lines = AnswerLines();
    for (std::string& line : lines) line = fw::FromUtf8(line);  // the tool writes names in UTF-8
    return queue::MediaSecondsFromGroupAnswer(lines, asked_);
}
