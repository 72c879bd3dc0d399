// The duration probe: the media tool run through a small batch file, its answer read back.
#include <windows.h>

#include "app/Main.h"
#include "convert/Launcher.h"
#include "queue/QueueLogic.h"

std::optional<std::string> TfrmMain::ProbeDuration(const std::string& path)
{
    const std::string batch = TempDir + "open.bat";
    const std::string answer = TempDir + "duration_time.txt";
    Memo3->SetLines(queue::ProbeBatchLines(path, TempDir, MediainfoPath));
    Memo3->SaveToFile(batch);

    convert::WaitOutcome outcome = convert::RunAndWait(batch, "", SW_HIDE, ProbeTimeLimitMs);
    if (outcome == convert::WaitOutcome::TimedOut) {
        DeleteFileA(batch.c_str());
        DeleteFileA(answer.c_str());
        return std::nullopt;
    }
    Memo3->LoadFromFile(answer);
    DeleteFileA(batch.c_str());
    DeleteFileA(answer.c_str());
    return queue::DurationEntryFromAnswer(Memo3->Lines());
}
