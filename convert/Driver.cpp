// The batch conversion driver and its progress monitor: one file at a time through the
// encoder, the next "Pending" row started when the encoder of the current one has ended.
#include <windows.h>

#include "app/Main.h"
#include "convert/ConvertLogic.h"
#include "convert/Launcher.h"
#include "convert/advantmr.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
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

// The last lines of the encoder's log: its closing summary and its errors are at the end.
std::vector<std::string> LogTail(const std::string& path)
{
    constexpr LONG kTailBytes = 64 * 1024;
    fw::unique_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    if (size.QuadPart > kTailBytes) SetFilePointer(file.get(), -kTailBytes, nullptr, FILE_END);
    std::string text(static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, kTailBytes)), '\0');
    DWORD got = 0;
    ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    text.resize(got);
    return fw::SplitLines(fw::FromUtf8(text));
}

bool SamePath(std::string_view a, std::string_view b)
{
    return fw::SameNameIgnoringCase(a, b);
}

}  // namespace

std::string TfrmMain::EncoderLogPath() const
{
    return TempDir + "ffmpeg_log.txt";
}

void TfrmMain::EzRgnBtn3Click(fw::TComponent*)
{
    OutputRateKBps = convert::kOutputRateKBps;
    if (Converting) return;
    const int count = RowCount();
    if (count == 0) return;
    try {
        // A row that fails before its encoder runs is passed here, and the next one started.
        do {
            CurrentRow = -1;
            for (int row = 0; row < count; ++row) {
                if (RowState(row) == convert::kPending) {
                    CurrentRow = row;
                    break;
                }
            }
            if (CurrentRow == -1) {
                EndBatch();
                return;
            }
            if (!BatchRunning) BeginBatch();
        } while (!StartCurrentFile());
    } catch (...) {
        EndBatch();
        throw;
    }
}

void TfrmMain::BeginBatch()
{
    BatchRunning = true;
    BatchTotal = 0;
    for (int row = 0; row < RowCount(); ++row) BatchTotal += RowState(row) == convert::kPending;
    BatchEnded = 0;
    BatchFailed = false;
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);  // no sleep; the display may turn off
    ShowBatchProgress(0);
}

void TfrmMain::EndBatch()
{
    if (!BatchRunning) return;
    BatchRunning = false;
    SetThreadExecutionState(ES_CONTINUOUS);
    Taskbar->Clear(Handle());
    if (GetForegroundWindow() != Handle()) {
        FLASHWINFO flash{sizeof flash, Handle(), FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
        FlashWindowEx(&flash);
    }
}

void TfrmMain::ShowBatchProgress(std::int64_t currentSize)
{
    const std::uint64_t done = convert::BatchProgress(BatchEnded, currentSize, ExpectedSize);
    Taskbar->Show(Handle(), done, static_cast<std::uint64_t>(BatchTotal) * convert::kProgressPerFile, BatchFailed);
}

void TfrmMain::BatchFileEnded()
{
    ++BatchEnded;
    ShowBatchProgress(0);
}

bool TfrmMain::StartCurrentFile()
{
    CurrentInputPath = ListBox1->Item(CurrentRow);
    CurrentOutputPath = convert::FreeOutputPath(convert::OutputPathFor(CurrentInputPath, WorkDir, fw::IsLeadByte),
                                                CurrentInputPath, WrittenOutputs, &SamePath);
    FfmpegArgs = convert::FfmpegArgsFor(CurrentInputPath, CurrentOutputPath);
    ExpectedSize = convert::ExpectedSizeFor(ListBox2->Item(CurrentRow), OutputRateKBps);

    std::string failure;
    if (!fw::FileExists(CurrentInputPath)) {
        failure = convert::kInputGone;
    } else if (!ToolsFailure.empty()) {
        failure = ToolsFailure;
    } else {
        DWORD error = 0;
        EncoderProcess = convert::StartWithoutConsole(FfmpegPath, FfmpegArgs, {EncoderLogPath(), true}, error);
        if (!EncoderProcess) failure = convert::StartFailure("The encoder", error, fw::SystemErrorText(error), FfmpegPath);
    }
    if (!failure.empty()) {
        FailRow(CurrentRow, failure);
        BatchFileEnded();
        return false;
    }
    WrittenOutputs.push_back({CurrentOutputPath, CurrentInputPath});
    EncoderProcessId = GetProcessId(EncoderProcess.get());
    Converting = true;
    LastSize = 0;

    auto* timer = fw::Create<TAdvancedTimer>(this);
    timer->SetBuddy(CurrentOutputPath);
    timer->SetInterval(500);
    timer->SetEnabled(true);
    timer->SetOnTimer([this](fw::TComponent* sender) { MyTimerEventHandlerConversion(sender); });

    // The encoder's end is measured at once instead of waiting for the next tick.
    HWND timerWindow = timer->WindowHandle();
    fw::Application->WatchHandle(EncoderProcess.get(), [timerWindow] { PostMessageA(timerWindow, WM_TIMER, 1, 0); });
    return true;
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
            ShowBatchProgress(*size);
        }
        fw::Application->ProcessMessages();
        return;
    }

    DWORD exitCode = 1;
    GetExitCodeProcess(EncoderProcess.get(), &exitCode);
    FinishCurrentFile(timer, convert::EncoderFailure(exitCode, LogTail(EncoderLogPath()), size.value_or(0)));
}

void TfrmMain::FinishCurrentFile(TAdvancedTimer* timer, const std::string& failure)
{
    fw::Guarded([&] {
        if (failure.empty()) {
            SetRowState(CurrentRow, convert::kDone);
            SetRowConverted(CurrentRow, convert::kConverted);
        } else {
            FailRow(CurrentRow, failure);
        }
    });
    fw::Application->UnwatchHandle(EncoderProcess.get());
    EncoderProcess.reset();
    EncoderProcessId = 0;
    Converting = false;
    BatchFileEnded();
    EzRgnBtn3Click(this);
    timer->Release();
}
