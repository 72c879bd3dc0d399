// The list box, used as a hidden list of texts.
#pragma once
#include <string>

#include "framework/WinControl.h"

namespace fw {

class TListBox : public TWinControl {
public:
    TListBox(TComponent* owner, TWinControl* parent, const TBounds& bounds);
    int Count() const;
    std::string Item(int index) const;
    void Add(const std::string& text);
    void Delete(int index);
};

}  // namespace fw
