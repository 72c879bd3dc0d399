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
    if (Converting() || Queue->Selected() < 0) return;
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(Queue->View().Handle(), &pointer);
    int widths[4] = {};
    Queue->ColumnWidths(widths);
    for (int row = 0; row < Queue->Count(); ++row) {
        if (!Queue->IsSelected(row)) continue;
        switch (queue::ClickAction(pointer.x, widths, Queue->State(row), !Queue->Reason(row).empty())) {
        case queue::RowAction::Remove: Queue->Remove(row); return;
        case queue::RowAction::OpenOutputFolder: OpenWithShell(Handle(), OutputFolderOf(row)); return;
        case queue::RowAction::OpenInput: OpenWithShell(Handle(), Queue->Path(row)); return;
        case queue::RowAction::ShowReason:
            fw::Application->ShowMessage(Queue->State(row) == queue::RowState::Done
                                             ? Queue->Reason(row)
                                             : queue::FailureMessage(Queue->Path(row), Queue->Reason(row), fw::IsLeadByte));
            return;
        case queue::RowAction::None: break;
        }
    }
}

std::string TfrmMain::OutputFolderOf(int row) const
{
    // The folder the row's file was written to, which "Browse" may have changed since.
    const std::string& output = Queue->Output(row);
    if (output.empty()) return fw::Trim(WorkDir + "\\");
    const std::string folder = convert::FolderPart(output, fw::IsLeadByte);
    return folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
}

void TfrmMain::ListView1KeyDown(fw::TComponent*, WORD& key, fw::TShiftState)
{
    const int selected = Queue->Selected();
    if (selected < 0 || key != VK_DELETE || Converting()) return;
    Queue->Remove(selected);
}

void TfrmMain::d4_ListViewCustomDrawSubItem(fw::TComponent*, int row, int column, fw::TListView::CellStyle& style,
                                            bool& defaultDraw)
{
    constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
    constexpr COLORREF kFailedRed = RGB(204, 0, 0);
    switch (column) {
    case 1: case 3: case 4: style = {kLinkBlue, true}; break;
    case 2: style = {Queue->State(row) == queue::RowState::Failed ? kFailedRed : RGB(0, 0, 0), false}; break;
    default: break;
    }
    defaultDraw = true;
}
