// The list box.
#include "framework/ListBox.h"

#include "framework/errors.h"
#include "framework/text.h"

namespace fw {

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

}  // namespace fw
