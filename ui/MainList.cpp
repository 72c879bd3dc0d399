// The queue list, the session's rows as the window shows them: a row for each, the clickable
// columns drawn like links, clicks, keys and tips.
#include <windows.h>
#include <commctrl.h>

#include "framework/Application.h"
#include "framework/Files.h"
#include "ui/ListCaption.h"
#include "ui/ListLogic.h"
#include "ui/Main.h"

namespace {
// The columns of the list view.
constexpr int kNameColumn = 1, kStateColumn = 2, kConvertedColumn = 3;
}  // namespace

void TfrmMain::ShowRow(TQueue::Change change, int row)
{
    const TQueue& queue = session_.Queue();
    const auto converted = [&] { return queue::Finished(queue.State(row)) ? queue::kConvertedText : ""; };
    switch (change) {
    case TQueue::Change::Added:
        fileList_->AddItem("MP4", {queue::NamePart(queue.Path(row), fw::IsLeadByte), queue.StateText(row), converted(), "X"});
        break;
    case TQueue::Change::Removed: fileList_->DeleteItem(row); break;
    case TQueue::Change::State:
        fileList_->SetCellText(row, kStateColumn, queue.StateText(row));
        fileList_->SetCellText(row, kConvertedColumn, converted());
        break;
    }
    if (!session_.Busy()) listCaption_->ShowOwn(session_.ListCaption());
}

void TfrmMain::OnListClick()
{
    // A click with Ctrl or Shift only selects; the links act on a plain click.
    if (session_.Busy() || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0) return;
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(fileList_->Handle(), &pointer);
    const int row = fileList_->RowAt(pointer);
    if (row < 0 || !fileList_->IsSelected(row)) return;
    int widths[4] = {};
    for (int column = 0; column < 4; ++column) widths[column] = fileList_->ColumnWidth(column);
    const TQueue& queue = session_.Queue();
    switch (view::ClickAction(pointer.x, widths, queue.State(row), !queue.Reason(row).empty())) {
    case view::RowAction::Remove: session_.Queue().RemoveRows({row}); return;
    case view::RowAction::OpenOutputFolder: OpenWithShell(Handle(), session_.OutputFolderOf(row)); return;
    case view::RowAction::OpenInput: OpenWithShell(Handle(), queue.Path(row)); return;
    case view::RowAction::ShowReason: fw::Application->ShowMessage(session_.ReasonMessage(row)); return;
    case view::RowAction::None: return;
    }
}

void TfrmMain::OnListKeyDown(WORD& key, fw::TShiftState shift)
{
    if (key == VK_DELETE) session_.Queue().RemoveRows(fileList_->SelectedRows());  // refused during a batch
    if (key == 'A' && (shift & MK_CONTROL)) {
        fileList_->SelectAll();
        key = 0;
    }
}

std::string TfrmMain::RowTip(int row) const
{
    if (row < 0 || row >= session_.Queue().Count()) return {};
    const std::string name = fileList_->CellText(row, kNameColumn);
    constexpr int kCellPadding = 12;  // the list view's margins around a cell's text
    const int needed = static_cast<int>(
        SendMessageA(fileList_->Handle(), LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(name.c_str())));
    return needed + kCellPadding > fileList_->ColumnWidth(kNameColumn) ? session_.Queue().Path(row) : std::string();
}

void TfrmMain::DrawCell(int row, int column, fw::TListView::CellStyle& style)
{
    // Fixed colours, or the system's under high contrast: its link colour, and its text for
    // every state.
    const bool system = HighContrast();
    const COLORREF link = system ? GetSysColor(COLOR_HOTLIGHT) : RGB(0, 0, 255);
    const COLORREF failed = system ? GetSysColor(COLOR_WINDOWTEXT) : RGB(204, 0, 0);
    switch (column) {
    case 1: case 3: case 4: style = {link, true}; break;
    case 2: style = {session_.Queue().State(row) == queue::RowState::Failed ? failed : TextColor(), false}; break;
    default: break;
    }
}
