// One-line edit boxes and the multi-line memo used as a line buffer.
#pragma once
#include <string>
#include <vector>

#include "framework/WinControl.h"

namespace fw {

class TEdit : public TWinControl {
public:
    TEdit(TComponent* owner, TWinControl* parent, const TBounds& bounds, DWORD extraStyle = ES_AUTOHSCROLL);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    TKeyPressEvent OnKeyPress;
};

// A multi-line edit used as a line buffer.
class TMemo : public TEdit {
public:
    TMemo(TComponent* owner, TWinControl* parent, const TBounds& bounds);
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);
    // Raises EFOpenError "Cannot open file "%s". %s".
    void LoadFromFile(const std::string& path);
};

}  // namespace fw
