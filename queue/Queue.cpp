// The queue: one row per file, held at the same index in ListView1, ListBox1 and ListBox2,
// with the reason of a failed row beside them in RowReasons.
#include "app/Main.h"
#include "convert/ConvertLogic.h"
#include "framework/Files.h"
#include "queue/QueueLogic.h"

void TfrmMain::AddQueueRow(const std::string& path, const std::string& duration)
{
    ListBox1->Add(path);
    ListBox2->Add(duration);
    RowReasons.emplace_back();
    ListView1->AddItem("MP4", {NamePart(path), convert::kPending, "", "X"});
}

void TfrmMain::DeleteQueueRow(int index)
{
    ListBox2->Delete(index);
    ListBox1->Delete(index);
    if (index >= 0 && index < static_cast<int>(RowReasons.size())) RowReasons.erase(RowReasons.begin() + index);
    ListView1->DeleteItem(index);
}

std::string TfrmMain::NamePart(const std::string& path) const
{
    return queue::NamePart(path, fw::IsLeadByte);
}

int TfrmMain::RowCount() const
{
    return ListView1->ItemCount();
}

std::string TfrmMain::RowState(int row) const
{
    return ListView1->CellText(row, 2);
}

void TfrmMain::SetRowState(int row, const std::string& state)
{
    ListView1->SetCellText(row, 2, state);
}

void TfrmMain::SetRowConverted(int row, const std::string& text)
{
    ListView1->SetCellText(row, 3, text);
}

void TfrmMain::FailRow(int row, const std::string& reason)
{
    SetRowState(row, convert::kFailed);
    RowReasons.at(static_cast<std::size_t>(row)) = reason;
    if (BatchRunning) BatchFailed = true;
}
