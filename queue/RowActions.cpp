// Row actions of the queue list: opening a row's file or the output folder, removing rows,
// and drawing the clickable columns like links.
#include <windows.h>
#include <shellapi.h>

#include "app/Main.h"
#include "convert/ConvertLogic.h"
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
    if (Converting || ListView1->SelectedIndex() < 0) return;
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(ListView1->Handle(), &pointer);
    const int widths[4] = {ListView1->ColumnWidth(0), ListView1->ColumnWidth(1), ListView1->ColumnWidth(2),
                           ListView1->ColumnWidth(3)};
    const int count = RowCount();
    for (int row = 0; row < count; ++row) {
        if (!ListView1->IsSelected(row)) continue;
        switch (queue::ClickAction(pointer.x, widths, RowState(row))) {
        case queue::RowAction::Remove: DeleteQueueRow(row); return;
        case queue::RowAction::OpenOutputFolder: OpenWithShell(Handle(), fw::Trim(WorkDir + "\\")); return;
        case queue::RowAction::OpenInput: OpenWithShell(Handle(), ListBox1->Item(row)); return;
        case queue::RowAction::ShowReason:
            fw::Application->ShowMessage(
                queue::FailureMessage(ListBox1->Item(row), RowReasons.at(static_cast<std::size_t>(row)), fw::IsLeadByte));
            return;
        case queue::RowAction::None: break;
        }
    }
}

void TfrmMain::ListView1KeyDown(fw::TComponent*, WORD& key, fw::TShiftState)
{
    int selected = ListView1->SelectedIndex();
    if (selected < 0 || key != VK_DELETE || Converting) return;
    DeleteQueueRow(selected);
}

void TfrmMain::d4_ListViewCustomDrawSubItem(fw::TComponent*, int row, int column, fw::TListView::CellStyle& style,
                                            bool& defaultDraw)
{
    constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
    constexpr COLORREF kFailedRed = RGB(204, 0, 0);
    switch (column) {
    case 1: case 3: case 4: style = {kLinkBlue, true}; break;
    case 2: style = {RowState(row) == convert::kFailed ? kFailedRed : RGB(0, 0, 0), false}; break;
    default: break;
    }
    defaultDraw = true;
}
