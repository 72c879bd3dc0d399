// Edit boxes and the memo: key presses, lines, and reading and writing them as files.
#include "framework/Edit.h"

#include <algorithm>

#include "framework/Files.h"
#include "framework/Form.h"
#include "framework/errors.h"
#include "framework/handles.h"
#include "framework/text.h"

namespace fw {

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

bool TEdit::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLOREDIT) return false;
    TForm* form = ParentForm();
    if (!form) return false;
    const bool system = form->HighContrast();
    const auto dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, form->TextColor());
    SetBkColor(dc, system ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255));
    result = reinterpret_cast<LRESULT>(system ? GetSysColorBrush(COLOR_WINDOW) : GetStockObject(WHITE_BRUSH));
    return true;
}

TNameLabel::TNameLabel(TComponent* owner, TForm* form, const std::string& caption) : TWinControl(owner)
{
    CreateHandle({.className = "STATIC",
                  .style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                  .parent = form->Handle(),
                  .bounds = {},
                  .text = caption.c_str(),
                  .systemClass = true});
}

void TNameLabel::SetBounds(const TBounds& bounds)
{
    TBounds fitting = bounds;
    if (TForm* form = ParentForm()) {
        const SIZE size = form->TextSize(Text());
        fitting.width = std::max(fitting.width, static_cast<int>(size.cx));
        fitting.height = std::max(fitting.height, static_cast<int>(size.cy));
    }
    TWinControl::SetBounds(fitting);
}

LRESULT TNameLabel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        if (TForm* form = ParentForm()) form->PaintBeneath(dc, *this);
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    default:
        return TWinControl::WndProc(msg, wParam, lParam);
    }
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

}  // namespace fw
