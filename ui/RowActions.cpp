// Row actions of the queue list: opening a row's file or the output folder, removing rows,
// and drawing the clickable columns like links.
#include <windows.h>
#include <shellapi.h>

#include "ui/Main.h"
#include "framework/LaunchLogic.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/text.h"
#include "queue/QueueLogic.h"

namespace {

void OpenWithShell(HWND owner, const std::string& target)
{
    ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void TfrmMain::ListView1Click(fw::TComponent*)
{
    // A click with Ctrl or Shift only selects; the links act on a plain click.
    if (Queue->Locked() || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0) return;
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(Queue->View().Handle(), &pointer);
    const int row = Queue->View().RowAt(pointer);
    if (row < 0 || !Queue->IsSelected(row)) return;
    int widths[4] = {};
    Queue->ColumnWidths(widths);
    switch (queue::ClickAction(pointer.x, widths, Queue->State(row), !Queue->Reason(row).empty())) {
    case queue::RowAction::Remove: Queue->Remove(row); return;
    case queue::RowAction::OpenOutputFolder: OpenOutputOf(row); return;
    case queue::RowAction::OpenInput: OpenWithShell(Handle(), Queue->Path(row)); return;
    case queue::RowAction::ShowReason: ShowReasonOf(row); return;
    case queue::RowAction::None: return;
    }
}

void TfrmMain::ShowReasonOf(int row)
{
    fw::Application->ShowMessage(Queue->State(row) == queue::RowState::Done
                                     ? Queue->Reason(row)
                                     : queue::FailureMessage(Queue->Path(row), Queue->Reason(row), fw::IsLeadByte));
}

void TfrmMain::OpenInputOf(int row)
{
    OpenWithShell(Handle(), Queue->Path(row));
}

void TfrmMain::OpenOutputOf(int row)
{
    OpenWithShell(Handle(), OutputFolderOf(row));
}

void TfrmMain::ListView1Open(fw::TComponent*)
{
    const int row = Queue->Selected();
    if (!Queue->Locked() && row >= 0) OpenInputOf(row);
}

std::string TfrmMain::ListView1RowTip(int row) const
{
    if (row < 0 || row >= Queue->Count()) return {};
    const std::string name = Queue->View().CellText(row, 1);
    constexpr int kCellPadding = 12;  // the list view's margins around a cell's text
    const int needed = static_cast<int>(SendMessageA(Queue->View().Handle(), LVM_GETSTRINGWIDTHA, 0,
                                                     reinterpret_cast<LPARAM>(name.c_str())));
    return needed + kCellPadding > Queue->View().ColumnWidth(1) ? Queue->Path(row) : std::string();
}

std::string TfrmMain::OutputFolderOf(int row) const
{
    // The folder the row's file was written to, which "Browse" may have changed since.
    const std::string& output = Queue->Output(row);
    if (output.empty()) return fw::Trim(WorkDir + "\\");
    const std::string folder = fw::FolderPart(output, fw::IsLeadByte);
    return folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
}

void TfrmMain::ListView1KeyDown(fw::TComponent*, WORD& key, fw::TShiftState shift)
{
    if (key == VK_DELETE) Queue->RemoveRows(Queue->SelectedRows());  // refused during a batch
    if (key == 'A' && (shift & MK_CONTROL)) {
        Queue->SelectAll();
        key = 0;
    }
}

void TfrmMain::d4_ListViewCustomDrawSubItem(fw::TComponent*, int row, int column, fw::TListView::CellStyle& style,
                                            bool& defaultDraw)
{
    // Fixed colours, or the system's under high contrast: its link colour, and its text for
    // every state.
    const bool system = HighContrast();
    const COLORREF link = system ? GetSysColor(COLOR_HOTLIGHT) : RGB(0, 0, 255);
    const COLORREF failed = system ? GetSysColor(COLOR_WINDOWTEXT) : RGB(204, 0, 0);
    switch (column) {
    case 1: case 3: case 4: style = {link, true}; break;
    case 2: style = {Queue->State(row) == queue::RowState::Failed ? failed : TextColor(), false}; break;
    default: break;
    }
    defaultDraw = true;
}
