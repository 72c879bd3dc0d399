// Controls: windows wrapped in C++ objects, graphic controls that their form paints, and the form.
#include "framework/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/errors.h"
#include "framework/text.h"

namespace fw {

namespace {

constexpr const char* kObjectProp = "Mervane.Control";

TMouseButton ButtonOf(UINT msg)
{
    switch (msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return TMouseButton::mbRight;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return TMouseButton::mbMiddle;
    default: return TMouseButton::mbLeft;
    }
}

}  // namespace

// ---- graphic controls ----

TGraphicControl::TGraphicControl(TComponent* owner, TForm* form) : TControl(owner), form_(form)
{
    form_->Register(this);
}

TGraphicControl::~TGraphicControl()
{
    form_->Unregister(this);
}

void TGraphicControl::SetBounds(const TBounds& bounds)
{
    Invalidate();
    TControl::SetBounds(bounds);
    Invalidate();
}

void TGraphicControl::Invalidate() const
{
    if (!form_->Handle()) return;
    RECT r{bounds_.left, bounds_.top, bounds_.left + bounds_.width, bounds_.top + bounds_.height};
    InvalidateRect(form_->Handle(), &r, FALSE);
}

bool TGraphicControl::Contains(POINT p) const
{
    return p.x >= bounds_.left && p.x < bounds_.left + bounds_.width && p.y >= bounds_.top &&
           p.y < bounds_.top + bounds_.height;
}

void TImage::LoadFromResource(const char* name)
{
    bitmap_.reset(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap_) throw EResNotFound(FormatText("Resource %s not found", {name}));
    BITMAP info{};
    GetObjectA(bitmap_.get(), sizeof info, &info);
    SetBounds({bounds_.left, bounds_.top, info.bmWidth, info.bmHeight});
}

void TImage::Paint(HDC dc)
{
    if (!bitmap_) return;
    unique_hdc source(CreateCompatibleDC(dc));
    HGDIOBJ old = SelectObject(source.get(), bitmap_.get());
    BitBlt(dc, bounds_.left, bounds_.top, bounds_.width, bounds_.height, source.get(), 0, 0, SRCCOPY);
    SelectObject(source.get(), old);
}

void TLabel::SetCaption(const std::string& caption)
{
    caption_ = caption;
    AdjustSize();
    Invalidate();
}

void TLabel::SetFontStyle(bool bold, bool underline)
{
    bold_ = bold;
    underline_ = underline;
    AdjustSize();
    Invalidate();
}

void TLabel::AdjustSize()
{
    if (!AutoSize) return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, form_->Font(bold_, underline_));
    SIZE size{};
    GetTextExtentPoint32A(dc, caption_.c_str(), static_cast<int>(caption_.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SetBounds({bounds_.left, bounds_.top, size.cx, size.cy});
}

void TLabel::Paint(HDC dc)
{
    RECT r{bounds_.left, bounds_.top, bounds_.left + bounds_.width, bounds_.top + bounds_.height};
    HGDIOBJ old = SelectObject(dc, form_->Font(bold_, underline_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
    SelectObject(dc, old);
}

// ---- windowed controls ----

TWinControl::~TWinControl()
{
    if (handle_) DestroyWindow(handle_);
}

TWinControl* TWinControl::FromHandle(HWND window)
{
    return window ? static_cast<TWinControl*>(GetPropA(window, kObjectProp)) : nullptr;
}

void TWinControl::RegisterOwnClass(const char* name, UINT style, HCURSOR cursor)
{
    WNDCLASSA existing{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), name, &existing)) return;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = &TWinControl::Router;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

void TWinControl::CreateHandle(const CreateArgs& args)
{
    const TBounds& b = args.bounds;
    bounds_ = b;
    HWND window = CreateWindowExA(args.exStyle, args.className, args.text, args.style, b.left, b.top, b.width,
                                  b.height, args.parent, nullptr, GetModuleHandleA(nullptr), this);
    if (!window) throw Exception(FormatText("Cannot create a window of class %s", {args.className}));
    if (args.systemClass) {
        handle_ = window;
        SetPropA(window, kObjectProp, this);
        systemProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::Router)));
    }
}

LRESULT CALLBACK TWinControl::Router(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* self = FromHandle(window);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->handle_ = window;
        SetPropA(window, kObjectProp, self);
    }
    if (!self) return DefWindowProcA(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        LRESULT result = self->DefaultHandler(msg, wParam, lParam);
        RemovePropA(window, kObjectProp);
        self->handle_ = nullptr;
        return result;
    }
    try {
        return self->WndProc(msg, wParam, lParam);
    } catch (...) {
        Application->HandleException();
        return 0;
    }
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (systemProc_) return CallWindowProcA(systemProc_, handle_, msg, wParam, lParam);
    return DefWindowProcA(handle_, msg, wParam, lParam);
}

bool TWinControl::Reflected(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(lParam); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom; break;
    case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_SETCURSOR:
        if (Cursor && LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == handle_) {
            SetCursor(Cursor);
            return TRUE;
        }
        break;
    default: break;
    }
    if (child && child != handle_) {
        if (TWinControl* control = FromHandle(child)) {
            LRESULT result = 0;
            if (control->Reflected(msg, wParam, lParam, result)) return result;
        }
    }
    return DefaultHandler(msg, wParam, lParam);
}

void TWinControl::SetBounds(const TBounds& bounds)
{
    TControl::SetBounds(bounds);
    if (handle_) MoveWindow(handle_, bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
}

void TWinControl::Invalidate() const
{
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

std::string TWinControl::Text() const
{
    int length = GetWindowTextLengthA(handle_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int got = GetWindowTextA(handle_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void TWinControl::SetText(const std::string& text)
{
    SetWindowTextA(handle_, text.c_str());
}

void TWinControl::SetFont(HFONT font)
{
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// ---- custom controls ----

TCustomControl::TCustomControl(TComponent* owner, TWinControl* parent, const char* className, DWORD exStyle)
    : TWinControl(owner)
{
    RegisterOwnClass(className, CS_DBLCLKS, nullptr);
    CreateHandle({.className = className,
                  .style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                  .exStyle = exStyle,
                  .parent = parent->Handle(),
                  .bounds = {0, 0, 0, 0}});
}

void TCustomControl::PaintParentBackground(HDC dc) const
{
    auto* form = dynamic_cast<TForm*>(FromHandle(GetParent(Handle())));
    if (!form) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    unique_hbrush background(CreateSolidBrush(form->Color));
    FillRect(dc, &client, background.get());
    form->PaintGraphics(dc, -bounds_.left, -bounds_.top);
}

void TCustomControl::Click()
{
    if (OnClick) OnClick(this);
}

void TCustomControl::BeginPress()
{
    SetCapture(Handle());
    clickPending_ = true;
}

void TCustomControl::EndPress(POINT releasedAt)
{
    bool wasPending = clickPending_;
    clickPending_ = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    RECT client{};
    GetClientRect(Handle(), &client);
    if (wasPending && PtInRect(&client, releasedAt)) Click();
}

LRESULT TCustomControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        Paint(dc);
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        BeginPress();
        if (OnMouseDown) OnMouseDown(this, TMouseButton::mbLeft, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:  // the second press of a double click makes no click
        if (OnMouseDown) OnMouseDown(this, TMouseButton::mbLeft, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        EndPress(p);
        if (OnMouseUp) OnMouseUp(this, TMouseButton::mbLeft, wParam, p.x, p.y);
        return 0;
    }
    case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        if (OnMouseDown) OnMouseDown(this, ButtonOf(msg), wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_RBUTTONUP: case WM_MBUTTONUP:
        if (OnMouseUp) OnMouseUp(this, ButtonOf(msg), wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (OnMouseMove) OnMouseMove(this, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        clickPending_ = false;
        break;
    default: break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

// ---- standard controls ----

TEdit::TEdit(TComponent* owner, TWinControl* parent, const TBounds& bounds, DWORD extraStyle) : TWinControl(owner)
{
    CreateHandle({.className = "EDIT",
                  .style = WS_CHILD | WS_VISIBLE | extraStyle,
                  .exStyle = WS_EX_CLIENTEDGE,
                  .parent = parent->Handle(),
                  .bounds = bounds,
                  .systemClass = true});
}

LRESULT TEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CHAR && OnKeyPress) {
        char key = static_cast<char>(wParam);
        OnKeyPress(this, key);
        if (key == 0) return 0;
        wParam = static_cast<unsigned char>(key);
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

TMemo::TMemo(TComponent* owner, TWinControl* parent, const TBounds& bounds)
    : TEdit(owner, parent, bounds, ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN)
{
    SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);
}

std::vector<std::string> TMemo::Lines() const
{
    return SplitLines(Text());
}

void TMemo::SetLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    SetText(text);
}

void TMemo::Append(const std::string& line)
{
    std::vector<std::string> lines = Lines();
    lines.push_back(line);
    SetLines(lines);
}

void TMemo::SaveToFile(const std::string& path) const
{
    unique_handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw EFCreateError(FormatText("Cannot create file \"%s\". %s", {path, SystemErrorText(GetLastError())}));
    std::string text;
    for (const std::string& line : Lines()) text += line + "\r\n";
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written != text.size())
        throw EFCreateError(FormatText("Cannot create file \"%s\". %s", {path, SystemErrorText(GetLastError())}));
}

void TMemo::LoadFromFile(const std::string& path)
{
    unique_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw EFOpenError(FormatText("Cannot open file \"%s\". %s", {path, SystemErrorText(GetLastError())}));
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    SetLines(SplitLines(text));
}

TButton::TButton(TComponent* owner, TWinControl* parent, const TBounds& bounds, const char* caption)
    : TWinControl(owner)
{
    CreateHandle({.className = "BUTTON",
                  .style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                  .parent = parent->Handle(),
                  .bounds = bounds,
                  .text = caption,
                  .systemClass = true});
}

bool TButton::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    if (OnClick) OnClick(this);
    result = 0;
    return true;
}

TListBox::TListBox(TComponent* owner, TWinControl* parent, const TBounds& bounds) : TWinControl(owner)
{
    CreateHandle({.className = "LISTBOX",
                  .style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                  .exStyle = WS_EX_CLIENTEDGE,
                  .parent = parent->Handle(),
                  .bounds = bounds,
                  .systemClass = true});
}

int TListBox::Count() const
{
    return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

std::string TListBox::Item(int index) const
{
    LRESULT length = SendMessageA(Handle(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) throw Exception(FormatText("List index out of bounds (%s)", {std::to_string(index)}));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void TListBox::Add(const std::string& text)
{
    SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TListBox::Delete(int index)
{
    SendMessageA(Handle(), LB_DELETESTRING, index, 0);
}

void TListBox::Clear()
{
    SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

TListView::TListView(TComponent* owner, TWinControl* parent, const TBounds& bounds,
                     const std::vector<TListColumn>& columns)
    : TWinControl(owner)
{
    CreateHandle({.className = WC_LISTVIEWA,
                  .style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                  .exStyle = WS_EX_CLIENTEDGE,
                  .parent = parent->Handle(),
                  .bounds = bounds,
                  .systemClass = true});
    SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (const TListColumn& column : columns) {
        LVCOLUMNA lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        lvc.pszText = const_cast<char*>(column.caption);
        lvc.cx = column.width;
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

int TListView::ColumnWidth(int column) const
{
    return static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, column, 0));
}

LRESULT TListView::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KEYDOWN && OnKeyDown) {
        WORD key = static_cast<WORD>(wParam);
        TShiftState shift = (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0) | (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0);
        OnKeyDown(this, key, shift);
        if (key == 0) return 0;
        wParam = key;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
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
    if (header->code == NM_CUSTOMDRAW && OnCustomDrawSubItem) {
        result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        return true;
    }
    return false;
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

// ---- forms ----

TForm::TForm(TComponent* owner, const char* className) : TWinControl(owner), Color(GetSysColor(COLOR_BTNFACE))
{
    RegisterOwnClass(className, CS_DBLCLKS, nullptr);
    SetFontFace("Tahoma", 11);
    CreateHandle({.className = className,
                  .style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
                  .exStyle = WS_EX_APPWINDOW,
                  .parent = Application->Handle(),
                  .bounds = {CW_USEDEFAULT, CW_USEDEFAULT, 100, 100}});
}

TForm::~TForm()
{
    DestroyComponents();  // the controls go while the window still exists
    if (tooltip_) DestroyWindow(tooltip_);
}

void TForm::SetFontFace(const char* face, int pixelHeight)
{
    for (int style = 0; style < 4; ++style) {
        LOGFONTA lf{};
        lf.lfHeight = -pixelHeight;
        lf.lfWeight = (style & 1) ? FW_BOLD : FW_NORMAL;
        lf.lfUnderline = (style & 2) ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
        fonts_[style].reset(CreateFontIndirectA(&lf));
    }
}

HFONT TForm::Font(bool bold, bool underline) const
{
    return fonts_[(bold ? 1 : 0) | (underline ? 2 : 0)].get();
}

void TForm::Show()
{
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
}

void TForm::AddHintFor(TWinControl* control)
{
    if (!tooltip_) {
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                   Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control->Handle());
    tool.lpszText = const_cast<char*>(control->Hint.c_str());
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TForm::Unregister(TGraphicControl* control)
{
    graphics_.erase(std::remove(graphics_.begin(), graphics_.end(), control), graphics_.end());
    if (hovered_ == control) hovered_ = nullptr;
    if (pressed_ == control) pressed_ = nullptr;
}

void TForm::PaintGraphics(HDC dc, int dx, int dy) const
{
    POINT oldOrigin{};
    OffsetViewportOrgEx(dc, dx, dy, &oldOrigin);
    for (TGraphicControl* control : graphics_) control->Paint(dc);
    SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}

TGraphicControl* TForm::GraphicAt(POINT p) const
{
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it)
        if ((*it)->Contains(p)) return *it;
    return nullptr;
}

void TForm::TrackHover(POINT p)
{
    TGraphicControl* now = GraphicAt(p);
    if (now != hovered_) {
        TGraphicControl* before = hovered_;
        hovered_ = now;
        if (before && before->OnMouseLeave) before->OnMouseLeave(before);
        if (now && now->OnMouseEnter) now->OnMouseEnter(now);
    }
    if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        tracking_ = TrackMouseEvent(&track) != FALSE;
    }
}

void TForm::MouseButton(UINT msg, WPARAM wParam, LPARAM lParam)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TMouseButton button = ButtonOf(msg);
    bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
                msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
    if (down) {
        TGraphicControl* target = GraphicAt(p);
        if (!target) return;
        if (msg == WM_LBUTTONDOWN) {
            pressed_ = target;  // a click needs the release over the same control
            SetCapture(Handle());
        }
        if (target->OnMouseDown) {
            auto& bounds = target->Bounds();
            target->OnMouseDown(target, button, wParam, p.x - bounds.left, p.y - bounds.top);
        }
        return;
    }
    TGraphicControl* target = (msg == WM_LBUTTONUP && pressed_) ? pressed_ : GraphicAt(p);
    if (msg == WM_LBUTTONUP) {
        pressed_ = nullptr;
        if (GetCapture() == Handle()) ReleaseCapture();
    }
    if (!target) return;
    if (msg == WM_LBUTTONUP && target->Contains(p) && target->OnClick) target->OnClick(target);
    if (target->OnMouseUp) {
        auto& bounds = target->Bounds();
        target->OnMouseUp(target, button, wParam, p.x - bounds.left, p.y - bounds.top);
    }
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        RECT client{};
        GetClientRect(Handle(), &client);
        unique_hdc memory(CreateCompatibleDC(dc));
        unique_hbitmap canvas(CreateCompatibleBitmap(dc, client.right, client.bottom));
        HGDIOBJ old = SelectObject(memory.get(), canvas.get());
        unique_hbrush background(CreateSolidBrush(Color));
        FillRect(memory.get(), &client, background.get());
        PaintGraphics(memory.get(), 0, 0);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        SelectObject(memory.get(), old);
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintGraphics(reinterpret_cast<HDC>(wParam), 0, 0);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SHOWWINDOW:
        if (wParam && OnShow) OnShow(this);
        break;
    case WM_CLOSE:
        Application->Terminate();
        return 0;
    case WM_MOUSEMOVE:
        TrackHover({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (hovered_) {
            TGraphicControl* before = std::exchange(hovered_, nullptr);
            if (before->OnMouseLeave) before->OnMouseLeave(before);
        }
        return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
        MouseButton(msg, wParam, lParam);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == Handle()) {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(Handle(), &p);
            TGraphicControl* under = GraphicAt(p);
            HCURSOR cursor = under && under->Cursor ? under->Cursor : LoadCursor(nullptr, IDC_ARROW);
            SetCursor(cursor);
            return TRUE;
        }
        break;
    default: break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

}  // namespace fw
