// The window's start and end: the tools written beside it and waited for where needed, the
// close button, and what a normal end removes.
#include <windows.h>

#include <utility>

#include "app/AppLogic.h"
#include "framework/Application.h"
#include "framework/errors.h"
#include "framework/handles.h"
#include "queue/Probe.h"
#include "ui/Main.h"

void TfrmMain::StageTools()
{
    if (Tools.Started()) return;
    Tools.Start(AppDir);
    // Said as soon as the writing ends, whether or not anything waits for the tools.
    fw::Application->WatchHandle(Tools.Thread(), [this] { WaitForTools(); });
}

void TfrmMain::WaitForTools()
{
    if (toolsTaken_) return;
    StageTools();
    if (WaitForSingleObject(Tools.Thread(), 0) == WAIT_TIMEOUT) {
        const std::string listCaption = Label13->Caption();
        fw::scope_exit restoreCaption([&] { Label13->SetCaption(listCaption); });
        Label13->SetCaption(app::kPreparingTools);
        Tools.Wait();
    }
    if (std::exchange(toolsTaken_, true)) return;  // taken while a message waited
    fw::Application->UnwatchHandle(Tools.Thread());
    const StagedTools& tools = Tools.Wait();
    FfmpegPath = tools.ffmpegPath;
    MediainfoPath = tools.mediainfoPath;
    ToolsFailure = tools.encoderFailure;
    if (tools.error) std::rethrow_exception(tools.error);
    if (!tools.firstFailure.empty()) fw::Application->ShowMessage(app::ToolsNotWrittenMessage(AppDir, tools.firstFailure));
}

void TfrmMain::EzRgnBtn2Click(fw::TComponent*)
{
    // Our own encoders, through their handles, their temporaries removed. Any other
    // encoder, even one started from our staged file by another copy, runs on. The rows
    // kept against a crash go: this is an end the user chose.
    Batch.reset();
    KeptRows.reset();
    Tools.Join();
    DeleteLeftovers(true);

    DWORD processId = 0;
    GetWindowThreadProcessId(fw::Application->Handle(), &processId);
    fw::unique_handle self(OpenProcess(0x1F0FFF, FALSE, processId));
    TerminateProcess(self.get(), 0);
    ExitProcess(0);  // not reached unless the process could not be opened
}

void TfrmMain::FormDestroy(fw::TComponent*)
{
    fw::Application->OnMessage = nullptr;
    // An end in the middle: our encoders are ended, so that no half file is left under a
    // temporary name and the staged encoder can be removed; the system may sleep again.
    Batch->Abandon();
    fw::Application->UnwatchHandle(Tools.Thread());
    Tools.Join();
    DeleteLeftovers(false);
}

void TfrmMain::DeleteLeftovers(bool closeButtonOrder)
{
    const std::string openBat = TempDir + "open.bat";
    const std::string mediaDll = AppDir + "mediainfo.dll", mediaExe = AppDir + "mediainfo.exe";
    // The encoder under the name it was written as, should the writing not have been taken up.
    const std::string encoder = FfmpegPath.empty() ? AppDir + "ffmpeg.exe" : FfmpegPath;
    std::vector<std::string> paths = {encoder, AppDir + "cygwin1.dll", AppDir + "cygz.dll"};
    if (closeButtonOrder)
        paths.insert(paths.end(), {openBat, mediaDll, mediaExe});
    else
        paths.insert(paths.end(), {mediaDll, mediaExe, openBat});
    for (const std::string& path : paths) DeleteFileA(path.c_str());
    // Each owner's own: the encoders' logs, and the answers of a probe cut short.
    convert::TBatch::RemoveLogs(TempDir);
    DurationProbe::RemoveAnswerFiles(TempDir);
}
