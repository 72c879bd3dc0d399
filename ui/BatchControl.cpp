// The user in charge of a batch: stopping it, the menus' commands, the Options window, the
// batch's progress on the taskbar, and what follows its end (nothing, sleep or shutdown,
// after a notice that counts down).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/handles.h"
#include "ui/ListLogic.h"
#include "ui/Main.h"
#include "ui/ListCaption.h"
#include "ui/Menus.h"
#include "ui/Notice.h"
#include "ui/AboutDialog.h"
#include "ui/OptionsDialog.h"
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
        session_.Paused() ? TASKDIALOG_BUTTON{kPauseOrResume, L"Resume\nThe files go on where they were."}
                          : TASKDIALOG_BUTTON{kPauseOrResume, L"Pause\nThe files wait where they are; nothing is lost."},
        {kKeepConverting, session_.Paused() ? L"Keep paused" : L"Keep converting"},
    };
    TASKDIALOGCONFIG config{};
    config.dwFlags = TDF_USE_COMMAND_LINKS;
    config.pszMainInstruction = L"Stop converting?";
    config.pszContent = L"Files that have not started stay Pending.";
    config.cButtons = static_cast<UINT>(std::size(buttons));
    config.pButtons = buttons;
    config.nDefaultButton = kKeepConverting;
    const int chosen = ShowTaskDialog(Handle(), config);
    if (chosen == kStopAfter) session_.StopAfterRunning();
    if (chosen == kStopNow) session_.StopNow();
    if (chosen == kPauseOrResume) session_.PauseOrResume();
}

void TfrmMain::OnListMenu(POINT screen)
{
    const TQueue& queue = session_.Queue();
    const std::vector<int> selected = fileList_->SelectedRows();
    view::MenuFacts facts;
    for (int row : selected) facts.selected.push_back(queue.State(row));
    facts.selectedHasNote = selected.size() == 1 && !queue.Reason(selected[0]).empty();
    facts.anyDone = !queue.FinishedRows().empty();
    facts.batchRunning = session_.Busy();
    facts.batchPaused = session_.Paused();
    const bool canSleep = app::SystemSleepKind() != app::SleepKind::None;
    fw::unique_hmenu menu = BuildListMenu(view::MenuEnabled(facts), session_, canSleep);
    const UINT command = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(), nullptr);
    if (command == kOptions || command == kFitOther) return OnOptions(command == kFitOther);
    if (command == kAbout) return ShowAbout(Handle());
    if (TakeChoice(session_, command)) return;
    if (command >= kWhenBase) session_.SetWhenBatchEnds(static_cast<app::AfterBatch>(command - kWhenBase));
    if (command < kItemBase || command >= kWhenBase) return;
    const int first = selected.empty() ? -1 : selected[0];
    switch (static_cast<view::MenuItem>(command - kItemBase)) {
    case view::MenuItem::OpenFile: OpenWithShell(Handle(), queue.Path(first)); break;
    case view::MenuItem::OpenOutputFolder: OpenWithShell(Handle(), session_.OutputFolderOf(first)); break;
    case view::MenuItem::WhyItFailed: fw::Application->ShowMessage(session_.ReasonMessage(first)); break;
    case view::MenuItem::Retry: session_.Retry(selected); break;
    case view::MenuItem::Remove: session_.RemoveRows(selected); break;
    case view::MenuItem::RemoveFinished: session_.RemoveFinished(); break;
    case view::MenuItem::PauseConverting: case view::MenuItem::ResumeConverting: session_.PauseOrResume(); break;
    case view::MenuItem::StopConverting: AskStop(); break;
    case view::MenuItem::WhenBatchEnds: break;
    }
}

void TfrmMain::OnConvertMenu(POINT screen)
{
    fw::unique_hmenu menu = BuildConvertMenu(session_);
    const UINT command = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(), nullptr);
    if (command == kOptions || command == kFitOther) return OnOptions(command == kFitOther);
    if (command == kAbout) return ShowAbout(Handle());
    TakeChoice(session_, command);
}

void TfrmMain::OnOptions(bool otherSize)
{
    OptionsShown shown{session_.Choices(), session_.Folders().output, session_.WhenBatchEnds()};
    const std::vector<int> selected = fileList_->SelectedRows();
    const NameExample example = session_.NameExamples(selected.empty() ? -1 : selected[0]);
    if (!ShowOptions(Handle(), shown, example, session_.Busy(), otherSize) || session_.Busy()) return;
    if (shown.outputFolder != session_.Folders().output) session_.ChooseOutputFolder(shown.outputFolder);
    session_.SetWhenBatchEnds(shown.whenBatchEnds);
    session_.Choose(shown.choices);
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
    const app::AfterBatch choice = session_.BatchOver();
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
