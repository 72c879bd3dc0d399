// The user in charge of a batch: stopping it, the list's context menu on the selected rows,
// the batch's progress on the taskbar, and what follows its end (nothing, sleep or shutdown,
// after a notice that counts down).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "convert/FitLogic.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/handles.h"
#include "ui/ListLogic.h"
#include "ui/Main.h"
#include "ui/LiveRegion.h"
#include "ui/Notice.h"
#include "ui/Choices.h"
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

constexpr UINT kItemBase = 1, kWhenBase = 100, kTargetBase = 200, kIfExistsBase = 300, kQualityBase = 400, kFitBase = 500,
               kOptions = 600, kAbout = 601;

// A menu of choices numbered from `base`, the chosen one marked (none for -1); like the
// queue, the choices take no change during a batch.
HMENU ChoiceMenu(const std::vector<std::wstring>& texts, UINT base, int chosen, bool enabled)
{
    HMENU menu = CreatePopupMenu();
    for (UINT i = 0; i < texts.size(); ++i) AppendMenuW(menu, MF_STRING | (enabled ? 0 : MF_GRAYED), base + i, texts[i].c_str());
    if (chosen >= 0)
        CheckMenuRadioItem(menu, base, base + static_cast<UINT>(texts.size()) - 1, base + static_cast<UINT>(chosen), MF_BYCOMMAND);
    return menu;
}

HMENU TargetMenu(convert::Target chosen, bool enabled)
{
    std::vector<std::wstring> texts;
    for (convert::Target target : convert::kTargets) texts.push_back(fw::Wide(convert::TargetMenuText(target)));
    return ChoiceMenu(texts, kTargetBase, static_cast<int>(chosen), enabled);
}

HMENU QualityMenu(convert::Quality chosen, bool enabled)
{
    return ChoiceMenu(view::kQualityChoices, kQualityBase, static_cast<int>(chosen), enabled);
}

// The sizes a batch is fitted to, then "Other size…", which a number of megabytes marks.
constexpr UINT kFitOther = kFitBase + view::kFitOther;
HMENU FitMenu(const convert::FitTo& chosen, bool enabled)
{
    const int choice = view::FitChoice(chosen);
    std::vector<std::wstring> texts = view::kFitChoices;
    texts.push_back(choice == view::kFitOther ? L"&Other size (" + fw::Wide(convert::FitLabel(chosen)) + L")…" : L"&Other size…");
    return ChoiceMenu(texts, kFitBase, choice, enabled);
}

HMENU IfExistsMenu(convert::IfExists chosen, bool enabled)
{
    return ChoiceMenu(view::kIfExistsChoices, kIfExistsBase, static_cast<int>(chosen), enabled);
}

// The list's context menu: the items, "When the batch ends" with its choices, and the
// target, the quality, the size to fit and the existing-file choice.
fw::unique_hmenu BuildListMenu(const std::array<bool, view::kMenuItems>& enabled, const app::TSession& session, bool canSleep)
{
    const app::AfterBatch chosen = session.WhenBatchEnds();
    const wchar_t* texts[view::kMenuItems] = {L"&Open file", L"Open output &folder", L"&Why it failed", L"&Retry",
                                               L"Re&move", L"Remove &finished rows", L"&Pause converting",
                                               L"Resume con&verting", L"&Stop converting…", L"When the batch &ends"};
    fw::unique_hmenu menu(CreatePopupMenu());
    HMENU when = CreatePopupMenu();  // owned by the menu once appended
    std::vector<std::wstring> choices = view::kWhenBatchEndsChoices;
    if (!canSleep) choices[1] = L"Sleep (this computer cannot sleep)";
    for (UINT i = 0; i < choices.size(); ++i)
        AppendMenuW(when, MF_STRING | (i == 1 && !canSleep ? MF_GRAYED : 0), kWhenBase + i, choices[i].c_str());
    CheckMenuRadioItem(when, kWhenBase, kWhenBase + 3, kWhenBase + static_cast<UINT>(chosen), MF_BYCOMMAND);
    for (int i = 0; i < view::kMenuItems; ++i) {
        const UINT state = enabled[static_cast<std::size_t>(i)] ? MF_ENABLED : MF_GRAYED;
        const auto item = static_cast<view::MenuItem>(i);
        if (item == view::MenuItem::PauseConverting || item == view::MenuItem::WhenBatchEnds)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        if (item == view::MenuItem::WhenBatchEnds)
            AppendMenuW(menu.get(), MF_POPUP | state, reinterpret_cast<UINT_PTR>(when), texts[i]);
        else
            AppendMenuW(menu.get(), MF_STRING | state, kItemBase + i, texts[i]);
    }
    const convert::Choices& chosenNow = session.Choices();
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(TargetMenu(chosenNow.target, !session.Busy())), L"&Convert to");
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(QualityMenu(chosenNow.quality, !session.Busy())), L"&Quality");
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(FitMenu(chosenNow.fitTo, !session.Busy())), L"Fit &to");
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(IfExistsMenu(chosenNow.ifExists, !session.Busy())),
                L"If the file e&xists");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kOptions, L"O&ptions…\tCtrl+,");
    AppendMenuW(menu.get(), MF_STRING, kAbout, L"&About Mervane…");
    return menu;
}

// A choice of the target, the quality, the size to fit or the existing-file rule, from
// either menu; false for any other command.
bool TakeChoice(app::TSession& session, UINT command)
{
    if (command == kOptions || command == kFitOther || command == kAbout) return false;  // the window's own
    convert::Choices choices = session.Choices();
    if (command >= kFitBase)
        choices.fitTo = view::FixedFit(static_cast<int>(command - kFitBase));
    else if (command >= kQualityBase)
        choices.quality = static_cast<convert::Quality>(command - kQualityBase);
    else if (command >= kIfExistsBase)
        choices.ifExists = static_cast<convert::IfExists>(command - kIfExistsBase);
    else if (command >= kTargetBase)
        choices.target = static_cast<convert::Target>(command - kTargetBase);
    else
        return false;
    session.Choose(choices);
    return true;
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
    // The targets, then the quality and the size to fit.
    const convert::Choices& chosen = session_.Choices();
    fw::unique_hmenu menu(TargetMenu(chosen.target, !session_.Busy()));
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(QualityMenu(chosen.quality, !session_.Busy())), L"&Quality");
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(FitMenu(chosen.fitTo, !session_.Busy())), L"Fit &to");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kOptions, L"O&ptions…\tCtrl+,");
    AppendMenuW(menu.get(), MF_STRING, kAbout, L"&About Mervane…");
    const UINT command = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(), nullptr);
    if (command == kOptions || command == kFitOther) return OnOptions(command == kFitOther);
    if (command == kAbout) return ShowAbout(Handle());
    TakeChoice(session_, command);
}

void TfrmMain::OnOptions(bool otherSize)
{
    OptionsShown shown{session_.Choices(), session_.Folders().output, session_.WhenBatchEnds()};
    const std::vector<int> selected = fileList_->SelectedRows();
    convert::NameFacts sample{"clip.mp4", {}, shown.choices.target, 1};
    if (!selected.empty()) sample = {session_.Queue().Path(selected[0]), {}, shown.choices.target, selected[0] + 1};
    sample.modified = fw::ModifiedDate(sample.input);
    if (sample.modified.empty()) {
        SYSTEMTIME today{};
        GetLocalTime(&today);
        sample.modified = fw::DateText(today);
    }
    if (!ShowOptions(Handle(), shown, sample, session_.Busy(), otherSize) || session_.Busy()) return;
    if (shown.outputFolder != session_.Folders().output) session_.ChooseOutputFolder(shown.outputFolder);
    session_.SetWhenBatchEnds(shown.whenBatchEnds);
    session_.Choose(shown.choices);
}

void TfrmMain::ShowProgress(const convert::BatchProgress& progress)
{
    const convert::BatchFacts& facts = progress.facts;
    SetStatusText(convert::BatchCaption(facts, fw::SystemMarks()));
    if (!told_ || convert::WorthAnnouncing(*told_, facts)) {
        // Narrator reads a live region only when the window is marked as one.
        if (!told_) MarkPoliteLiveRegion(listCaptionText_->Handle());
        told_ = facts;
        AnnounceStatus();
    }
    const auto look = facts.paused ? TTaskbarProgress::Look::Paused
                                   : progress.failed ? TTaskbarProgress::Look::Failed : TTaskbarProgress::Look::Normal;
    constexpr double kSteps = 1000;  // the taskbar's fraction, in thousandths
    taskbar_->Show(Handle(), static_cast<std::uint64_t>(convert::BatchFraction(facts) * kSteps),
                   static_cast<std::uint64_t>(kSteps), look);
    // What log-off and shutdown show while the batch runs.
    ShutdownBlockReasonCreate(Handle(), fw::Wide(convert::SessionWaitReason(progress.filesLeft)).c_str());
}

void TfrmMain::ShowBatchEnd(const convert::BatchSummary& summary)
{
    told_.reset();
    ShowStatus({});
    ShutdownBlockReasonDestroy(Handle());
    taskbar_->Clear(Handle());
    if (!summary.abandoned) {
        // Said once for the batch: a notification (or, where the system shows none, its
        // sound), and the taskbar button flashing until the window comes forward.
        std::string text = convert::BatchEndText(summary.converted, summary.failed, summary.stopped);
        if (summary.converted > 0) text += " (" + convert::SizeText(summary.bytes) + ")";
        if (!notice_->Show(fw::Application->Title(), text)) MessageBeep(MB_ICONINFORMATION);
        if (GetForegroundWindow() != Handle()) {
            FLASHWINFO flash{sizeof flash, Handle(), FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
            FlashWindowEx(&flash);
        }
    }
    PostMessageA(Handle(), kBatchEndedMessage, 0, 0);
}

void TfrmMain::BatchEnded()
{
    const app::AfterBatch choice = session_.TakeWhenBatchEnds();  // for one batch only
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
