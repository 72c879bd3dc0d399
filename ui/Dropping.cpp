// Files and folders that arrive from outside the window's buttons: dropped on the window,
// named on the command line, or handed over by a second copy of the program.
#include <windows.h>
#include <shellapi.h>

#include "app/AppLogic.h"
#include "ui/Main.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
#include "queue/QueueLogic.h"

namespace {

// Posted to the main window: queue what waits in ItemsToQueue.
constexpr UINT kQueueItemsMessage = WM_APP + 1;
constexpr UINT kOfferRowsMessage = WM_APP + 2;
constexpr UINT kBatchEndedMessage = WM_APP + 3;
constexpr UINT_PTR kQueueItemsRetryTimer = 7;
constexpr DWORD kBurstQuietMs = 250, kBurstMostMs = 1000;

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
    std::vector<app::RefusedItem> refused;
    for (const std::string& given : items) {
        const std::string item = app::WithoutLongPrefix(given);
        const std::string name = queue::FileNamePart(item, fw::IsLeadByte);
        // The name first: a name the code page cannot hold names no file that exists.
        if (queue::NameOutsideCodePage(item)) {
            refused.push_back({name, app::NotAdded::OutsideCodePage});
        } else if (fw::DirectoryExists(item)) {
            LastFolder = item;
            Edit2->SetText(item);
            if (!AddFolderFiles(item)) break;  // ESC ends the whole drop
        } else if (!fw::FileExists(item)) {
            refused.push_back({name, app::NotAdded::Missing});
        } else if (!app::IsMp4Name(item)) {
            refused.push_back({name, app::NotAdded::NotMp4});
        } else if (std::optional<std::string> duration = ProbeDuration(item)) {
            Edit1->SetText(item);
            Queue->Add(item, *duration);
        } else {
            fw::Application->ShowMessage(queue::NoAnswerInFolderMessage(item, fw::IsLeadByte));
        }
    }
    if (!refused.empty()) fw::Application->ShowMessage(app::NotAddedMessage(refused));
}

void TfrmMain::QueueItemsLater(const std::vector<std::string>& items)
{
    if (items.empty()) return;
    if (ItemsToQueue.empty()) burstStart_ = GetTickCount();
    ItemsToQueue.insert(ItemsToQueue.end(), items.begin(), items.end());
    // A burst (several "Open with" copies, drops in a row) is taken as one, with one
    // message, once it has been quiet for a moment or has gone on for a second.
    if (GetTickCount() - burstStart_ >= kBurstMostMs)
        PostMessageA(Handle(), kQueueItemsMessage, 0, 0);
    else
        SetTimer(Handle(), kQueueItemsRetryTimer, kBurstQuietMs, nullptr);
}

void TfrmMain::QueueWaitingItems()
{
    if (ItemsToQueue.empty()) return;
    // Not while a dialog or message box of ours is open: try again shortly.
    if (!IsWindowEnabled(Handle())) {
        SetTimer(Handle(), kQueueItemsRetryTimer, 300, nullptr);
        return;
    }
    // During a batch they wait for its end; it is said once for each file.
    if (Converting()) {
        if (announcedWaiting_ >= ItemsToQueue.size()) return;
        std::vector<std::string> names;
        for (std::size_t i = announcedWaiting_; i < ItemsToQueue.size(); ++i)
            names.push_back(queue::FileNamePart(app::WithoutLongPrefix(ItemsToQueue[i]), fw::IsLeadByte));
        announcedWaiting_ = ItemsToQueue.size();
        fw::Application->ShowMessage(app::AddedAfterConversionMessage(names));
        return;
    }
    announcedWaiting_ = 0;
    std::vector<std::string> items = std::exchange(ItemsToQueue, {});
    AddDroppedItems(items);
}

void TfrmMain::BatchEndedLater()
{
    PostMessageA(Handle(), kBatchEndedMessage, 0, 0);
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
    case kQueueItemsMessage:
        QueueWaitingItems();
        return 0;
    case kBatchEndedMessage:
        QueueWaitingItems();  // what came meanwhile, then what follows the batch
        BatchEnded();
        return 0;
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
