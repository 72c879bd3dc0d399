// The batch as the window shows it: the question before it stops, its progress on the
// taskbar, the notice at its end, and what follows it (nothing, sleep or shutdown, after a
// notice that counts down).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "framework/Application.h"
#include "framework/Unicode.h"
#include "ui/ListCaption.h"
#include "ui/Main.h"
#include "ui/Notice.h"
#include "ui/Taskbar.h"

namespace {

enum StopChoice { kStopAfter = 101, kStopNow, kKeepConverting, kPauseOrResume };

// Shows a task dialog over the main window with the program's title: the button chosen, or 0.
int ShowTaskDialog(HWND owner, TASKDIALOGCONFIG& config)
{
    const std::wstring title = fw::Wide(fw::Application->Title());
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.dwFlags |= TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = title.c_str();
    int chosen = config.nDefaultButton;
    return SUCCEEDED(TaskDialogIndirect(&config, &chosen, nullptr, nullptr)) ? chosen : 0;
}

// The countdown's state, carried to the task dialog's callback.
struct Countdown {
    int seconds;
    const wchar_t* verb;  // "sleep", "shut down"
    std::wstring text;
};

std::wstring CountdownText(const Countdown& c, int left)
{
    return L"The conversion has finished. The computer will " + std::wstring(c.verb) + L" in " + std::to_wstring(left) +
           (left == 1 ? L" second." : L" seconds.");
}

HRESULT CALLBACK CountdownProc(HWND dialog, UINT note, WPARAM wParam, LPARAM, LONG_PTR data) noexcept
{
    auto& c = *reinterpret_cast<Countdown*>(data);
    if (note == TDN_CREATED) {
        SendMessageW(dialog, TDM_SET_PROGRESS_BAR_RANGE, 0, MAKELPARAM(0, c.seconds));
        SendMessageW(dialog, TDM_SET_PROGRESS_BAR_POS, c.seconds, 0);
    } else if (note == TDN_TIMER) {
        const int left = std::max(0, c.seconds - static_cast<int>(wParam / 1000));
        c.text = CountdownText(c, left);
        SendMessageW(dialog, TDM_SET_ELEMENT_TEXT, TDE_CONTENT, reinterpret_cast<LPARAM>(c.text.c_str()));
        SendMessageW(dialog, TDM_SET_PROGRESS_BAR_POS, left, 0);
        if (left == 0) SendMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0);
    }
    return S_OK;
}

}  // namespace

void TfrmMain::AskStop()
{
    if (!session_.Busy()) return;
    const TASKDIALOG_BUTTON buttons[] = {
        {kStopAfter, L"Stop after the files being converted\nThey finish; no further file starts."},
        {kStopNow, L"Stop now\nThe files being converted end and go back to Pending."},
        session_.Batch().Paused() ? TASKDIALOG_BUTTON{kPauseOrResume, L"Resume\nThe files go on where they were."}
                          : TASKDIALOG_BUTTON{kPauseOrResume, L"Pause\nThe files wait where they are; nothing is lost."},
        {kKeepConverting, session_.Batch().Paused() ? L"Keep paused" : L"Keep converting"},
    };
    TASKDIALOGCONFIG config{};
    config.dwFlags = TDF_USE_COMMAND_LINKS;
    config.pszMainInstruction = L"Stop converting?";
    config.pszContent = L"Files that have not started stay Pending.";
    config.cButtons = static_cast<UINT>(std::size(buttons));
    config.pButtons = buttons;
    config.nDefaultButton = kKeepConverting;
    const int chosen = ShowTaskDialog(Handle(), config);
    batch::TBatch& batch = session_.Batch();
    if (chosen == kStopAfter) batch.StopAfterRunning();
    if (chosen == kStopNow) batch.StopNow();
    if (chosen == kPauseOrResume) batch.PauseOrResume();
}

void TfrmMain::ShowProgress(const app::ProgressShown& progress)
{
    listCaption_->ShowProgress(progress.caption, progress.retell);
    const auto look = progress.paused ? TTaskbarProgress::Look::Paused
                                      : progress.failed ? TTaskbarProgress::Look::Failed : TTaskbarProgress::Look::Normal;
    constexpr double kSteps = 1000;  // the taskbar's fraction, in thousandths
    taskbar_->Show(Handle(), static_cast<std::uint64_t>(progress.fraction * kSteps), static_cast<std::uint64_t>(kSteps), look);
    // What log-off and shutdown show while the batch runs.
    ShutdownBlockReasonCreate(Handle(), fw::Wide(progress.waitReason).c_str());
}

void TfrmMain::ShowBatchEnd(const std::string& said)
{
    listCaption_->ShowOwn(session_.ListCaption());
    listCaption_->EndBatch();
    ShutdownBlockReasonDestroy(Handle());
    taskbar_->Clear(Handle());
    if (!said.empty()) {
        // Said once for the batch: a notification (or, where the system shows none, its
        // sound), and the taskbar button flashing until the window comes forward.
        if (!notice_->Show(fw::Application->Title(), said)) MessageBeep(MB_ICONINFORMATION);
        if (GetForegroundWindow() != Handle()) {
            FLASHWINFO flash{sizeof flash, Handle(), FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
            FlashWindowEx(&flash);
        }
    }
    PostMessageA(Handle(), kBatchEndedMessage, 0, 0);
}

void TfrmMain::BatchEnded()
{
    const app::AfterBatch choice = std::exchange(session_.WhenBatchEnds(), app::AfterBatch::Nothing);
    if (choice == app::AfterBatch::Nothing || session_.Busy()) return;
    if (choice == app::AfterBatch::OpenFolder) {
        OpenWithShell(Handle(), session_.OutputFolderOf(-1));
        return;
    }
    const bool sleep = choice == app::AfterBatch::Sleep;
    Countdown countdown{session_.Tunings().countdownSeconds, sleep ? L"sleep" : L"shut down", {}};
    countdown.text = CountdownText(countdown, countdown.seconds);
    const TASKDIALOG_BUTTON buttons[] = {{IDOK, sleep ? L"Sleep now" : L"Shut down now"}};
    TASKDIALOGCONFIG config{};
    config.dwFlags = TDF_CALLBACK_TIMER | TDF_SHOW_PROGRESS_BAR;
    config.pszMainInstruction = sleep ? L"Sleep" : L"Shut down";
    config.pszContent = countdown.text.c_str();
    config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
    config.cButtons = 1;
    config.pButtons = buttons;
    config.nDefaultButton = IDCANCEL;
    config.pfCallback = &CountdownProc;
    config.lpCallbackData = reinterpret_cast<LONG_PTR>(&countdown);
    if (ShowTaskDialog(Handle(), config) != IDOK) return;
    const std::string refused = session_.Tunings().powerDown(choice);
    if (refused.empty()) return;
    fw::Application->ShowMessage(std::string(sleep ? "The computer could not sleep: " : "The computer could not shut down: ") +
                                 fw::WithFullStop(fw::WithoutFinalStop(refused)));
}
