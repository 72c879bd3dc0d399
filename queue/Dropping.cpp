// Files and folders that arrive from outside the window's buttons: dropped on the window,
// named on the command line, or handed over by a second copy of the program.
#include <windows.h>
#include <shellapi.h>

#include "app/AppLogic.h"
#include "app/Main.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
#include "queue/QueueLogic.h"

namespace {

// Posted to the main window: queue what waits in ItemsToQueue.
constexpr UINT kQueueItemsMessage = WM_APP + 1;
constexpr UINT kOfferRowsMessage = WM_APP + 2;
constexpr UINT_PTR kQueueItemsRetryTimer = 7;

// The wide names: where the code page cannot hold a character it becomes "?" (and the
// file is refused for its name), never a look-alike that names another file.
std::vector<std::string> DroppedNames(HDROP drop)
{
    std::vector<std::string> names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        names.push_back(fw::Narrow(name));
    }
    return names;
}

}  // namespace

void TfrmMain::AddDroppedItems(const std::vector<std::string>& items)
{
    if (items.empty()) return;
    if (Converting()) {
        fw::Application->ShowMessage(app::kAddAfterConversion);
        return;
    }
    std::vector<std::string> skipped;
    for (const std::string& item : items) {
        // The name first: a name the code page cannot hold names no file that exists.
        if (queue::NameOutsideCodePage(item)) {
            fw::Application->ShowMessage(queue::NameOutsideCodePageMessage(item, fw::IsLeadByte));
        } else if (fw::DirectoryExists(item)) {
            LastFolder = item;
            Edit2->SetText(item);
            if (!AddFolderFiles(item)) return;  // ESC ends the whole drop
        } else if (!app::IsMp4Name(item) || !fw::FileExists(item)) {
            skipped.push_back(queue::FileNamePart(item, fw::IsLeadByte));
        } else if (std::optional<std::string> duration = ProbeDuration(item)) {
            Edit1->SetText(item);
            Queue->Add(item, *duration);
        } else {
            fw::Application->ShowMessage(queue::NoAnswerInFolderMessage(item, fw::IsLeadByte));
        }
    }
    if (!skipped.empty()) fw::Application->ShowMessage(app::SkippedFilesMessage(skipped));
}

void TfrmMain::QueueItemsLater(const std::vector<std::string>& items)
{
    ItemsToQueue.insert(ItemsToQueue.end(), items.begin(), items.end());
    PostMessageA(Handle(), kQueueItemsMessage, 0, 0);
}

void TfrmMain::OfferLeftBehindRowsLater()
{
    PostMessageA(Handle(), kOfferRowsMessage, 0, 0);
}

LRESULT TfrmMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_DROPFILES: {
        auto drop = reinterpret_cast<HDROP>(wParam);
        std::vector<std::string> names = DroppedNames(drop);
        DragFinish(drop);
        QueueItemsLater(names);
        return 0;
    }
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->dwData != app::kArgumentBlockTag) break;
        std::optional<std::vector<std::string>> args =
            app::UnpackArguments({static_cast<const char*>(data->lpData), data->cbData});
        if (!args) return FALSE;
        QueueItemsLater(*args);  // the sender waits for this answer: the adding comes later
        return TRUE;
    }
    case WM_TIMER:
        if (wParam != kQueueItemsRetryTimer) break;
        KillTimer(Handle(), kQueueItemsRetryTimer);
        [[fallthrough]];
    case kQueueItemsMessage: {
        if (ItemsToQueue.empty()) return 0;
        // Not while a dialog or message box of ours is open: try again shortly.
        if (!IsWindowEnabled(Handle())) {
            SetTimer(Handle(), kQueueItemsRetryTimer, 300, nullptr);
            return 0;
        }
        std::vector<std::string> items = std::exchange(ItemsToQueue, {});
        AddDroppedItems(items);
        return 0;
    }
    case kOfferRowsMessage:
        OfferLeftBehindRows();
        return 0;
    case WM_QUERYENDSESSION:
        // The system shows why we would rather it waited ("Converting 3 files").
        return !Converting();
    case WM_ENDSESSION:
        // The session really ends: our encoders end and what they were writing goes.
        if (wParam) {
            Batch->Abandon();
            Tools.Join();
            DeleteLeftovers(false);
        }
        return 0;
    default: break;
    }
    return fw::TForm::WndProc(msg, wParam, lParam);
}
