// The user in charge of a batch: stopping it, the list's context menu on the selected rows,
// and what follows its end (nothing, sleep or shutdown, after a notice that counts down).
#include <windows.h>
#include <commctrl.h>
#include <powrprof.h>

#include <algorithm>
#include <utility>

#include "ui/Main.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/handles.h"
#include "queue/QueueLogic.h"

namespace {

enum StopChoice { kStopAfter = 101, kStopNow, kKeepConverting };

// The system's own switch, with the shutdown privilege this process needs for both.
std::string SystemPowerDown(TfrmMain::AfterBatch what)
{
    fw::unique_handle token;
    TOKEN_PRIVILEGES privileges{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()) ||
        !LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) ||
        !AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) || GetLastError() != ERROR_SUCCESS)
        return fw::SystemErrorText(GetLastError() ? GetLastError() : ERROR_PRIVILEGE_NOT_HELD);
    const bool done = what == TfrmMain::AfterBatch::Sleep
                          ? SetSuspendState(FALSE, FALSE, FALSE) != FALSE
                          : ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED) != FALSE;
    return done ? std::string() : fw::SystemErrorText(GetLastError());
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
    if (!Converting()) return;
    const TASKDIALOG_BUTTON buttons[] = {
        {kStopAfter, L"Stop after the files being converted\nThey finish; no further file starts."},
        {kStopNow, L"Stop now\nThe files being converted end and go back to Pending."},
        {kKeepConverting, L"Keep converting"},
    };
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = Handle();
    config.dwFlags = TDF_USE_COMMAND_LINKS | TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    const std::wstring title = fw::Wide(fw::Application->Title());
    config.pszWindowTitle = title.c_str();
    config.pszMainInstruction = L"Stop converting?";
    config.pszContent = L"Files that have not started stay Pending.";
    config.cButtons = static_cast<UINT>(std::size(buttons));
    config.pButtons = buttons;
    config.nDefaultButton = kKeepConverting;
    int chosen = kKeepConverting;
    if (FAILED(TaskDialogIndirect(&config, &chosen, nullptr, nullptr))) return;
    if (chosen == kStopAfter) Batch->StopAfterRunning();
    if (chosen == kStopNow) Batch->StopNow();
}

void TfrmMain::ListView1ContextPopup(fw::TComponent*, POINT screen)
{
    const std::vector<int> selected = Queue->SelectedRows();
    queue::MenuFacts facts;
    for (int row : selected) facts.selected.push_back(Queue->State(row));
    facts.selectedHasNote = selected.size() == 1 && !Queue->Reason(selected[0]).empty();
    for (int row = 0; row < Queue->Count(); ++row) facts.anyDone |= Queue->State(row) == queue::RowState::Done;
    facts.batchRunning = Converting();
    const std::array<bool, queue::kMenuItems> enabled = queue::MenuEnabled(facts);

    using queue::MenuItem;
    constexpr UINT kItemBase = 1, kWhenBase = 100;
    const wchar_t* texts[queue::kMenuItems] = {L"&Open file", L"Open output &folder", L"&Why it failed", L"&Retry",
                                               L"Re&move", L"Remove &finished rows", L"&Stop converting…",
                                               L"When the batch &ends"};
    fw::unique_hmenu menu(CreatePopupMenu());
    HMENU when = CreatePopupMenu();  // owned by the menu once appended
    const wchar_t* choices[] = {L"Do &nothing", L"&Sleep", L"Shut &down"};
    for (UINT i = 0; i < 3; ++i) AppendMenuW(when, MF_STRING, kWhenBase + i, choices[i]);
    CheckMenuRadioItem(when, kWhenBase, kWhenBase + 2, kWhenBase + static_cast<UINT>(WhenBatchEnds), MF_BYCOMMAND);
    for (int i = 0; i < queue::kMenuItems; ++i) {
        const UINT state = enabled[static_cast<std::size_t>(i)] ? MF_ENABLED : MF_GRAYED;
        if (static_cast<MenuItem>(i) == MenuItem::WhenBatchEnds) {
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu.get(), MF_POPUP | state, reinterpret_cast<UINT_PTR>(when), texts[i]);
        } else {
            if (static_cast<MenuItem>(i) == MenuItem::StopConverting) AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu.get(), MF_STRING | state, kItemBase + i, texts[i]);
        }
    }
    const UINT command = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(), nullptr);
    if (command >= kWhenBase) {
        WhenBatchEnds = static_cast<AfterBatch>(command - kWhenBase);
        return;
    }
    if (command < kItemBase) return;
    const int first = selected.empty() ? -1 : selected[0];
    switch (static_cast<MenuItem>(command - kItemBase)) {
    case MenuItem::OpenFile: OpenInputOf(first); break;
    case MenuItem::OpenOutputFolder: OpenOutputOf(first); break;
    case MenuItem::WhyItFailed: ShowReasonOf(first); break;
    case MenuItem::Retry:
        for (int row : selected) Queue->Retry(row);
        break;
    case MenuItem::Remove: Queue->RemoveRows(selected); break;
    case MenuItem::RemoveFinished: {
        std::vector<int> done;
        for (int row = 0; row < Queue->Count(); ++row)
            if (Queue->State(row) == queue::RowState::Done) done.push_back(row);
        Queue->RemoveRows(done);
        break;
    }
    case MenuItem::StopConverting: AskStop(); break;
    case MenuItem::WhenBatchEnds: break;
    }
}

void TfrmMain::BatchEnded()
{
    const AfterBatch choice = std::exchange(WhenBatchEnds, AfterBatch::Nothing);  // for one batch only
    if (choice == AfterBatch::Nothing || Converting()) return;
    Countdown countdown{CountdownSeconds, choice == AfterBatch::Sleep ? L"sleep" : L"shut down", {}};
    countdown.text = CountdownText(countdown, CountdownSeconds);
    const TASKDIALOG_BUTTON buttons[] = {{IDOK, choice == AfterBatch::Sleep ? L"Sleep now" : L"Shut down now"}};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = Handle();
    config.dwFlags = TDF_CALLBACK_TIMER | TDF_SHOW_PROGRESS_BAR | TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    const std::wstring title = fw::Wide(fw::Application->Title());
    config.pszWindowTitle = title.c_str();
    config.pszMainInstruction = choice == AfterBatch::Sleep ? L"Sleep" : L"Shut down";
    config.pszContent = countdown.text.c_str();
    config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
    config.cButtons = 1;
    config.pButtons = buttons;
    config.nDefaultButton = IDCANCEL;
    config.pfCallback = &CountdownProc;
    config.lpCallbackData = reinterpret_cast<LONG_PTR>(&countdown);
    int chosen = IDCANCEL;
    if (FAILED(TaskDialogIndirect(&config, &chosen, nullptr, nullptr)) || chosen != IDOK) return;
    const std::string refused = PowerDown ? PowerDown(choice) : SystemPowerDown(choice);
    if (!refused.empty())
        fw::Application->ShowMessage(std::string(choice == AfterBatch::Sleep ? "The computer could not sleep: "
                                                                             : "The computer could not shut down: ") +
                                     fw::WithFullStop(fw::WithoutFinalStop(refused)));
}
