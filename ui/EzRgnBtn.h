// TEzRgnBtn: a button drawn from pictures, sized to its idle picture and cut to its shape.
// The pictures are drawn for its window's DPI. With a tab stop it takes the focus from the
// keyboard, shows it, and Space or Enter press it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "framework/Controls.h"
#include "ui/ButtonLogic.h"
#include "ui/Picture.h"

class TEzRgnBtn : public fw::TCustomControl {
public:
    TEzRgnBtn(fw::TComponent* owner, fw::TWinControl* parent);

    // The idle, hover and pressed pictures from bitmap resources, drawn for the window's DPI.
    void LoadPictures(const char* idle, const char* hover, const char* pressed);
    // The same from bitmaps (copied).
    void SetPictures(HBITMAP idle, HBITMAP hover, HBITMAP pressed);
    void ScaleChanged(int oldDpi, int newDpi) override;
    void SetEnabled(bool enabled) { SetState(enabled ? ButtonState::Idle : ButtonState::Disabled); }
    ButtonState State() const { return state_; }
    // Right click, the menu key or Shift+F10: where to show a menu, in screen coordinates.
    std::function<void(POINT screen)> OnContextPopup;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;

protected:
    void Click() override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void SetState(ButtonState state);
    // The size and the shape of the idle picture.
    void TakeShape();
    bool PointerIsOver(POINT client) const;
    LRESULT MouseMoved(POINT client);
    LRESULT KeyPressed(WPARAM key, LPARAM flags, bool down);
    LRESULT ContextMenu(POINT screen);

    std::string pictureNames_[3];
    TPicture pictures_[3];  // idle, hover, pressed
    ButtonState state_ = ButtonState::Idle;
    bool trackingLeave_ = false;
};
