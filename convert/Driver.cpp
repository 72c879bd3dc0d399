// The batch conversion driver and its progress monitor: one file at a time through the
// encoder, the next "Pending" row started when the encoder of the current one has ended.
#include <windows.h>

#include "app/Main.h"
#include "convert/ConvertLogic.h"
#include "convert/Launcher.h"
#include "convert/advantmr.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/errors.h"

namespace {

// The size of the file the encoder writes, opened with full sharing; none while it cannot
// be measured (not created yet, a folder, or not openable).
std::optional<std::int64_t> MeasureOutput(const std::string& path)
{
    if (!fw::FileExists(path)) return std::nullopt;
    fw::unique_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER end{};
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) return std::nullopt;
    return end.QuadPart;
}

}  // namespace

void TfrmMain::EzRgnBtn3Click(fw::TComponent*)
{
    OutputRateKBps = convert::kOutputRateKBps;
    if (Converting) return;
    const int count = RowCount();
    if (count == 0) return;
    CurrentRow = -1;
    for (int row = 0; row < count; ++row) {
        if (RowState(row) == convert::kPending) {
            CurrentRow = row;
            break;
        }
    }
    if (CurrentRow == -1) return;

    CurrentInputPath = ListBox1->Item(CurrentRow);
    CurrentOutputPath = convert::OutputPathFor(CurrentInputPath, WorkDir, fw::IsLeadByte);
    FfmpegArgs = convert::FfmpegArgsFor(CurrentInputPath, CurrentOutputPath);
    ExpectedSize = convert::ExpectedSizeFor(ListBox2->Item(CurrentRow), OutputRateKBps);

    EncoderProcess = convert::StartProcess(FfmpegPath, FfmpegArgs, SW_HIDE);
    EncoderProcessId = EncoderProcess ? GetProcessId(EncoderProcess.get()) : 0;
    Converting = true;
    LastSize = 0;

    auto* timer = fw::Create<TAdvancedTimer>(this);
    timer->SetBuddy(CurrentOutputPath);
    timer->SetInterval(500);
    timer->SetEnabled(true);
    timer->SetOnTimer([this](fw::TComponent* sender) { MyTimerEventHandlerConversion(sender); });

    // The encoder's end is measured at once instead of waiting for the next tick.
    HWND timerWindow = timer->WindowHandle();
    auto tickNow = [timerWindow] { PostMessageA(timerWindow, WM_TIMER, 1, 0); };
    if (EncoderProcess)
        fw::Application->WatchHandle(EncoderProcess.get(), tickNow);
    else
        tickNow();
}

void TfrmMain::MyTimerEventHandlerConversion(fw::TComponent* sender)
{
    auto* timer = static_cast<TAdvancedTimer*>(sender);
    // The end first: a size measured after it is final.
    const bool encoderEnded = !EncoderProcess || WaitForSingleObject(EncoderProcess.get(), 0) == WAIT_OBJECT_0;
    const std::optional<std::int64_t> size = MeasureOutput(timer->Buddy());

    if (!encoderEnded) {
        // Growing or paused: the file is not finished while its encoder still runs.
        if (size) {
            fw::Guarded([&] { SetRowState(CurrentRow, convert::ProgressText(*size, ExpectedSize)); });
            LastSize = *size;
        }
        fw::Application->ProcessMessages();
        return;
    }

    DWORD exitCode = 1;
    if (EncoderProcess) GetExitCodeProcess(EncoderProcess.get(), &exitCode);
    FinishCurrentFile(timer, exitCode == 0 && size && *size > 0);
}

void TfrmMain::FinishCurrentFile(TAdvancedTimer* timer, bool succeeded)
{
    fw::Guarded([&] {
        SetRowState(CurrentRow, succeeded ? convert::kDone : convert::kFailed);
        if (succeeded) SetRowConverted(CurrentRow, convert::kConverted);
    });
    if (EncoderProcess) fw::Application->UnwatchHandle(EncoderProcess.get());
    EncoderProcess.reset();
    EncoderProcessId = 0;
    Converting = false;
    EzRgnBtn3Click(this);
    timer->Release();
}
