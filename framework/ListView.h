// The report-style list view with its clicks, keys and custom drawing per cell.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/WinControl.h"
#include "framework/handles.h"

namespace fw {

struct TListColumn {
    const char* caption;
    int width;
};

// A report-style list view with whole-row selection of one row or several. Its column
// widths are given at 96 DPI and follow its window's.
class TListView : public TWinControl {
public:
    TListView(TComponent* owner, TWinControl* parent, const TBounds& bounds, const std::vector<TListColumn>& columns);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    int ItemCount() const;
    int AddItem(const std::string& caption, const std::vector<std::string>& subItems);
    void DeleteItem(int index);
    // Column 0 is the caption, column k > 0 sub-item k - 1.
    std::string CellText(int row, int column) const;
    void SetCellText(int row, int column, const std::string& text);
    int SelectedIndex() const;
    bool IsSelected(int row) const;
    std::vector<int> SelectedRows() const;
    void SelectAll();
    // The row at a point of the client area; -1 for none.
    int RowAt(POINT client) const;
    int ColumnWidth(int column) const;
    int ColumnCount() const { return columnCount_; }
    void ScaleChanged(int oldDpi, int newDpi) override;

    TNotifyEvent OnClick;
    TKeyEvent OnKeyDown;
    // A double click on a row, or Enter.
    TNotifyEvent OnOpen;
    // Right click, the menu key or Shift+F10: where to show a menu, in screen coordinates.
    std::function<void(TComponent* sender, POINT screen)> OnContextPopup;
    // The tip for a row under the pointer; empty for none.
    std::function<std::string(int row)> OnRowTip;
    // Called for each cell before it is drawn; the handler sets the colour and style.
    struct CellStyle {
        COLORREF textColor;
        bool underline;
    };
    std::function<void(TComponent* sender, int row, int column, CellStyle& style, bool& defaultDraw)> OnCustomDrawSubItem;

protected:
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int FocusedRow() const;
    bool KeyDown(WPARAM& key);
    void ContextMenu(POINT at);
    void ShowFocusOnFirstRow();
    LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);
    LRESULT HeaderCustomDraw(NMCUSTOMDRAW* draw);
    int columnCount_ = 0;
    unique_hfont underlineFont_;
};

}  // namespace fw
