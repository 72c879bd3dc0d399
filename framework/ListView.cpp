// The list view: items and cells, clicks and keys, and custom drawing by draw stage.
#include "framework/ListView.h"

#include "framework/Form.h"
#include "framework/Scale.h"
#include "framework/errors.h"
#include "framework/text.h"

namespace fw {

TListView::TListView(TComponent* owner, TWinControl* parent, const TBounds& bounds,
                     const std::vector<TListColumn>& columns)
    : TWinControl(owner)
{
    CreateHandle({.className = WC_LISTVIEWA,
                  .style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                  .exStyle = WS_EX_CLIENTEDGE,
                  .parent = parent->Handle(),
                  .bounds = bounds,
                  .systemClass = true});
    SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
                 LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    const int dpi = WindowDpi(parent->Handle());
    for (const TListColumn& column : columns) {
        LVCOLUMNA lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        lvc.pszText = const_cast<char*>(column.caption);
        lvc.cx = ScaleLength(column.width, dpi);
        lvc.iSubItem = columnCount_;
        SendMessageA(Handle(), LVM_INSERTCOLUMNA, columnCount_, reinterpret_cast<LPARAM>(&lvc));
        ++columnCount_;
    }
}

int TListView::ItemCount() const
{
    return static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

int TListView::AddItem(const std::string& caption, const std::vector<std::string>& subItems)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = ItemCount();
    item.pszText = const_cast<char*>(caption.c_str());
    int row = static_cast<int>(SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (std::size_t k = 0; k < subItems.size(); ++k) SetCellText(row, static_cast<int>(k) + 1, subItems[k]);
    return row;
}

void TListView::DeleteItem(int index)
{
    SendMessageA(Handle(), LVM_DELETEITEM, index, 0);
}

std::string TListView::CellText(int row, int column) const
{
    if (row < 0 || row >= ItemCount())
        throw Exception(FormatText("List index out of bounds (%s)", {std::to_string(row)}));
    char buffer[1024] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(Handle(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

void TListView::SetCellText(int row, int column, const std::string& text)
{
    if (row < 0 || row >= ItemCount())
        throw Exception(FormatText("List index out of bounds (%s)", {std::to_string(row)}));
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(Handle(), LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

int TListView::SelectedIndex() const
{
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool TListView::IsSelected(int row) const
{
    return (SendMessageA(Handle(), LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void TListView::SelectAll()
{
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

int TListView::RowAt(POINT client) const
{
    LVHITTESTINFO hit{};
    hit.pt = client;
    return static_cast<int>(SendMessageA(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

int TListView::ColumnWidth(int column) const
{
    return static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, column, 0));
}

void TListView::ScaleChanged(int oldDpi, int newDpi)
{
    for (int column = 0; column < columnCount_; ++column)
        SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, column, MulDiv(ColumnWidth(column), newDpi, oldDpi));
}

// The key, and whether the handler took it (a key of 0): then the list sees nothing.
bool TListView::KeyDown(WPARAM& key)
{
    if (!OnKeyDown) return false;
    WORD pressed = static_cast<WORD>(key);
    const TShiftState shift = (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0) | (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0);
    OnKeyDown(this, pressed, shift);
    key = pressed;
    return pressed == 0;
}

void TListView::ContextMenu(POINT at)
{
    if (at.x == -1 && at.y == -1) {  // from the keyboard: beside the focused row
        RECT r{};
        r.left = LVIR_BOUNDS;
        const int row = FocusedRow();
        if (row < 0 || !SendMessageA(Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r))) GetClientRect(Handle(), &r);
        at = {r.left + 20, r.bottom};
        ClientToScreen(Handle(), &at);
    }
    OnContextPopup(this, at);
}

void TListView::ShowFocusOnFirstRow()
{
    if (ItemCount() == 0 || FocusedRow() >= 0) return;
    LVITEMA item{};  // a row to show the focus on, the first, left unselected
    item.stateMask = item.state = LVIS_FOCUSED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
}

LRESULT TListView::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
        if (KeyDown(wParam)) return 0;
        break;
    case WM_GETDLGCODE: {  // Enter opens the focused row rather than going to the window
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = TWinControl::WndProc(msg, wParam, lParam);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SETFOCUS: ShowFocusOnFirstRow(); break;
    case WM_CONTEXTMENU:
        if (!OnContextPopup) break;
        ContextMenu({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_NOTIFY:
        if (const auto* from = reinterpret_cast<const NMHDR*>(lParam);
            from->code == NM_CUSTOMDRAW && from->hwndFrom == ListView_GetHeader(Handle()))
            return HeaderCustomDraw(reinterpret_cast<NMCUSTOMDRAW*>(lParam));
        break;
    case WM_SETFONT: underlineFont_.reset(); break;  // made again from the new font
    case WM_SYSCOLORCHANGE:  // the list keeps the window colours it was made with, unless told
        SendMessageA(Handle(), LVM_SETBKCOLOR, 0, GetSysColor(COLOR_WINDOW));
        SendMessageA(Handle(), LVM_SETTEXTBKCOLOR, 0, GetSysColor(COLOR_WINDOW));
        SendMessageA(Handle(), LVM_SETTEXTCOLOR, 0, GetSysColor(COLOR_WINDOWTEXT));
        break;
    default: break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

std::vector<int> TListView::SelectedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < ItemCount(); ++row)
        if (IsSelected(row)) rows.push_back(row);
    return rows;
}

int TListView::FocusedRow() const
{
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

bool TListView::Reflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (msg != WM_NOTIFY) return false;
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == NM_CLICK) {
        if (OnClick) OnClick(this);
        result = 0;
        return true;
    }
    if ((header->code == NM_DBLCLK || header->code == NM_RETURN) && OnOpen) {
        OnOpen(this);
        result = 0;
        return true;
    }
    if (header->code == LVN_GETINFOTIPA && OnRowTip) {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(lParam);
        const std::string text = OnRowTip(tip->iItem);
        if (!text.empty() && tip->cchTextMax > 0) lstrcpynA(tip->pszText, text.c_str(), tip->cchTextMax);
        result = 0;
        return true;
    }
    if (header->code == NM_CUSTOMDRAW && OnCustomDrawSubItem) {
        result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        return true;
    }
    return false;
}

LRESULT TListView::HeaderCustomDraw(NMCUSTOMDRAW* draw)
{
    // Under high contrast the header's cells are drawn here, in the button colours: not every
    // header fills its cells in them.
    TForm* form = ParentForm();
    if (!form || !form->HighContrast()) return CDRF_DODEFAULT;
    if (draw->dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    char caption[128] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = caption;
    item.cchTextMax = sizeof caption;
    SendMessageA(draw->hdr.hwndFrom, HDM_GETITEMA, draw->dwItemSpec, reinterpret_cast<LPARAM>(&item));
    RECT cell = draw->rc;
    FillRect(draw->hdc, &cell, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(draw->hdc, &cell, EDGE_ETCHED, BF_RIGHT | BF_BOTTOM);
    SetTextColor(draw->hdc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(draw->hdc, TRANSPARENT);
    cell.left += form->Scaled(6);
    DrawTextA(draw->hdc, caption, -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    return CDRF_SKIPDEFAULT;
}

LRESULT TListView::CustomDraw(NMLVCUSTOMDRAW* draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        HFONT listFont = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
        CellStyle style{GetSysColor(COLOR_WINDOWTEXT), false};
        bool defaultDraw = true;
        OnCustomDrawSubItem(this, static_cast<int>(draw->nmcd.dwItemSpec), draw->iSubItem, style, defaultDraw);
        draw->clrText = style.textColor;
        // Under high contrast a selected row is in the system's selection colours.
        if (TForm* form = ParentForm(); form && form->HighContrast() && IsSelected(static_cast<int>(draw->nmcd.dwItemSpec))) {
            draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
            draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
        }
        if (style.underline) {
            if (!underlineFont_) {
                LOGFONTA lf{};
                GetObjectA(listFont ? listFont : GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
                lf.lfUnderline = TRUE;
                underlineFont_.reset(CreateFontIndirectA(&lf));
            }
            SelectObject(draw->nmcd.hdc, underlineFont_.get());
        } else if (listFont) {
            SelectObject(draw->nmcd.hdc, listFont);
        }
        return defaultDraw ? CDRF_NEWFONT : CDRF_SKIPDEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

}  // namespace fw
