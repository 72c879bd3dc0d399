// The main window: built from its form description, wired to the session, and the handlers of
// its buttons and of the messages that come from outside (drops, hand-overs, the session's end).
#include "ui/Main.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include "app/AppLogic.h"
#include "app/MainInstance.h"
#include "framework/Application.h"
#include "framework/LoadedFunction.h"
#include "framework/Unicode.h"
#include "ui/BrowseForFolderU.h"
#include "ui/EzRgnBtn.h"
#include "ui/ListCaption.h"
#include "ui/Notice.h"
#include "ui/Taskbar.h"

namespace {

// The items a second copy of the program handed over; none for any other data.
std::optional<std::vector<std::string>> HandedItems(const COPYDATASTRUCT& data)
{
    if (data.dwData != app::kArgumentBlockTag) return std::nullopt;
    return app::UnpackArguments({static_cast<const char*>(data.lpData), data.cbData});
}

// An ESC waiting in the thread's queue, while a long action holds the window; it is taken
// out. Only the first key press in the queue is looked at, so that other keys keep their order.
bool EscapeWaiting()
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) || msg.wParam != VK_ESCAPE) return false;
    PeekMessageA(&msg, msg.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
    return true;
}

// The wide names of a drop, which is finished: where the code page cannot hold a character
// it becomes "?" (and the file is refused for its name), never a look-alike that names
// another file.
std::vector<std::string> TakeDroppedNames(HDROP drop)
{
    std::vector<std::string> names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        names.push_back(fw::Narrow(name));
    }
    DragFinish(drop);
    return names;
}

// The wide open dialog: the chosen name in any script comes back whole, and on a system
// whose code page cannot hold it, with "?" rather than a look-alike. None when cancelled.
std::optional<std::string> ChooseMp4File(HWND owner)
{
    wchar_t fileName[4096] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"MP4 Files\0*.mp4\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = std::size(fileName);
    dialog.lpstrDefExt = L"mp4";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    const auto getOpenFileName = fw::LoadedFunction<decltype(GetOpenFileNameW)>("comdlg32.dll", "GetOpenFileNameW");
    if (!getOpenFileName || !getOpenFileName(&dialog)) return std::nullopt;
    return fw::Narrow(fileName);
}

}  // namespace

TfrmMain::TfrmMain(app::TSession& session, const EventsOver& over)
    : fw::TForm(nullptr, kMainWindowClass), session_(session), taskbar_(std::make_unique<TTaskbarProgress>()),
      notice_(std::make_unique<TBatchNotice>(Handle(), kNoticeMessage))
{
    CreateControls();
    Subscribe(over);
    ShowChoices();
    fw::Application->OnMessage = [this](const MSG& msg) { return OnKey(msg); };
    OnDpiChanged = [this](fw::TComponent*) {
        ApplyShape();
        ShowChoices();  // the target's label, centred again
    };
    OnShow = [this](fw::TComponent*) {
        ApplyShape();
        for (fw::TComponent* component : Components())
            if (auto* control = dynamic_cast<fw::TCustomControl*>(component)) control->Invalidate();
        // Once the window is there: the program's folders made, a crash's rows offered and the
        // tools written (once).
        PostMessageA(Handle(), kShownMessage, 0, 0);
    };
    DragAcceptFiles(Handle(), TRUE);  // files and folders dropped anywhere on the window
    constexpr UINT kCopyGlobalData = 0x0049;  // carries a drop's file list across processes
    fw::AllowFromLowerIntegrity(Handle(), {WM_DROPFILES, WM_COPYDATA, kCopyGlobalData});
}

TfrmMain::~TfrmMain()
{
    fw::Application->OnMessage = nullptr;
    session_.Listen({});
}

void TfrmMain::Subscribe(const EventsOver& over)
{
    app::TSessionEvents events;
    events.OnRowChange = [this](TQueue::Change change, int row) { ShowRow(change, row); };
    events.OnStatus = [this](const std::string& text) { listCaption_->ShowAction(text); };
    events.OnChoicesChanged = [this] { ShowChoices(); };
    events.OnProgress = [this](const app::ProgressShown& progress) { ShowProgress(progress); };
    events.OnBatchEnded = [this](const std::string& said) { ShowBatchEnd(said); };
    events.OnMessage = [](const std::string& text) { fw::Application->ShowMessage(text); };
    events.OnQuestion = [](const std::string& text) { return fw::Application->Ask(text); };
    events.OnQuestionOrCancel = [](const std::string& text) { return fw::Application->AskOrCancel(text); };
    events.OnStopWanted = &EscapeWaiting;
    events.OnFreeWanted = [this] { return IsWindowEnabled(Handle()) != FALSE; };
    session_.Listen(over ? over(std::move(events)) : std::move(events));
}

bool TfrmMain::OnKey(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd))) return false;
    if ((msg.wParam == VK_ESCAPE || msg.wParam == VK_PAUSE) && session_.Busy()) {
        if (msg.wParam == VK_ESCAPE) AskStop();
        else session_.Batch().PauseOrResume();
        return true;
    }
    const bool ctrlOnly = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    if (!ctrlOnly || (msg.wParam != 'O' && msg.wParam != VK_OEM_COMMA)) return false;
    if (msg.wParam == 'O') OnAddFileClick();
    else OnOptions();
    return true;
}

void TfrmMain::OnAddFileClick()
{
    if (session_.Busy()) return;
    if (std::optional<std::string> path = ChooseMp4File(Handle())) session_.Intake().AddChosenFile(*path);
}

void TfrmMain::OnCloseClick()
{
    notice_->Remove();  // the process ends below, without its destructors
    session_.Close();
    DWORD processId = 0;
    GetWindowThreadProcessId(fw::Application->Handle(), &processId);
    fw::unique_handle self(OpenProcess(0x1F0FFF, FALSE, processId));
    TerminateProcess(self.get(), 0);
    ExitProcess(0);  // not reached unless the process could not be opened
}

void TfrmMain::ShowChoices()
{
    fileEdit_->SetText(session_.Intake().LastFile());
    folderEdit_->SetText(session_.Intake().LastFolder());
    outputFolderEdit_->SetText(session_.Folders().output);
    // The target under the convert button, with the quality when it is high and the size the
    // batch is fitted to, centred below it.
    fw::TLabel& label = *targetLabel_;
    const std::string shown = app::ChoicesLabel(session_.Settings().Choices());
    label.SetCaption(shown);
    convertButton_->SetText("Convert to " + shown);  // its name
    if (!session_.Busy()) listCaption_->ShowOwn(session_.ListCaption());  // its size follows the choices
    label.SetBounds(Scaled(label.PlacedAt().value()));
    if (shown == "MPEG") return;  // where the layout puts it
    const fw::TBounds button = Scaled(kConvertButtonAt);
    const int width = TextSize(shown, true).cx, centre = button.left + button.width / 2;
    label.SetBounds({centre - width / 2, label.Top(), width, label.Height()});
}

LRESULT TfrmMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_DROPFILES: session_.Intake().Hand(TakeDroppedNames(reinterpret_cast<HDROP>(wParam))); return 0;
    case WM_COPYDATA:
        if (const std::optional<std::vector<std::string>> items = HandedItems(*reinterpret_cast<const COPYDATASTRUCT*>(lParam))) {
            session_.Intake().Hand(*items);  // the sender waits for this answer: the adding comes later
            return TRUE;
        }
        return FALSE;
    case kBatchEndedMessage: BatchEnded(); return 0;
    case kNoticeMessage: notice_->Handle(lParam); return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) notice_->Remove();  // the user is back and sees the list
        break;
    case kShownMessage:
        session_.Settle();
        return 0;
    case WM_QUERYENDSESSION:
        return !session_.Busy();  // the system shows why we would rather it waited ("Converting 3 files")
    case WM_ENDSESSION:
        // The session really ends, perhaps in the middle of an action (a wait for the tools or
        // a probe, a message box): after the clean-up nothing may carry on.
        if (!wParam) return 0;
        notice_->Remove();
        session_.EndSession();
        ExitProcess(0);
    default: break;
    }
    return fw::TForm::WndProc(msg, wParam, lParam);
}
