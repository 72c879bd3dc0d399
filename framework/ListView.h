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

// A report-style list view with whole-row, single selection.
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
    int ColumnWidth(int column) const;
    int ColumnCount() const { return columnCount_; }

    TNotifyEvent OnClick;
    TKeyEvent OnKeyDown;
    // Called for each cell before it is drawn; the handler sets the colour and style.
    struct CellStyle {
        COLORREF textColor;
        bool underline;
    };
    std::function<void(TComponent* sender, int row, int column, CellStyle& style, bool& defaultDraw)> OnCustomDrawSubItem;

protected:
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);
    int columnCount_ = 0;
    unique_hfont underlineFont_;
};

}  // namespace fw
