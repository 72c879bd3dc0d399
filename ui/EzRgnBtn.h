// TEzRgnBtn: a button drawn from pictures, sized to the one it shows, optionally cut to
// the shape of its idle picture. The pictures are drawn for its window's DPI. With a tab stop
// it takes the focus from the keyboard, shows it, and Space or Enter press it.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/Controls.h"
#include "ui/Picture.h"

class TAdvancedTimer;

enum TPaintMode : unsigned char { pmNormal = 0, pmCrop = 1, pmTransparent = 2 };

// The record of the mouse message behind an event.
struct TWMMouse {
    UINT Msg;
    WPARAM Keys;
    short XPos;
    short YPos;
    LRESULT Result;
};
using TOnMouseEvent = std::function<void(TWMMouse& msg)>;

class TEzRgnBtn : public fw::TCustomControl {
public:
    TEzRgnBtn(fw::TComponent* owner, fw::TWinControl* parent);
    ~TEzRgnBtn() override;

    bool AutoRepeat() const { return autoRepeat_; }
    void SetAutoRepeat(bool value) { autoRepeat_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Disabled() const { return !enabled_; }
    const TPicture& PicIdle() const { return picIdle_; }
    const TPicture& PicDown() const { return picDown_; }
    const TPicture& PicUp() const { return picUp_; }
    const TPicture& PicDsbld() const { return picDsbld_; }
    void SetPicIdle(HBITMAP picture);
    void SetPicDown(HBITMAP picture) { picDown_.Assign(picture); }
    void SetPicUp(HBITMAP picture) { picUp_.Assign(picture); }
    void SetPicDsbld(HBITMAP picture) { picDsbld_.Assign(picture); }
    // Fills the pictures from bitmap resources, in the size drawn for the window's DPI: idle,
    // hover and pressed.
    void LoadPictures(const char* idle, const char* up, const char* down);
    void ScaleChanged(int oldDpi, int newDpi) override;
    TPaintMode PaintMode() const { return paintMode_; }
    void SetPaintMode(TPaintMode mode);
    HIMAGELIST ImageList() const { return imageList_; }
    void SetImageList(HIMAGELIST list);

    bool Pressed() const { return pressed_; }
    bool MouseOver() const { return mouseOver_; }
    bool RegionApplied() const { return regionApplied_; }

    TOnMouseEvent OnMouseDown;  // these four take the place of the base control's
    TOnMouseEvent OnMouseEnter;
    TOnMouseEvent OnMouseLeave;
    TOnMouseEvent OnMouseUp;

    virtual void RepeatClick() { Click(); }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;

protected:
    void Click() override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    const TPicture* ShownPictureNow() const;
    void RepaintNow();
    void ApplyRegion();
    void RemoveRegion();
    void UpdateRepeatTimer();
    void PointerEntered(TWMMouse& msg);
    void PointerLeft(TWMMouse& msg);
    bool PointerIsOver(POINT client) const;

    fw::unique_handle paintLock_;
    bool lockHeld_ = false;  // a repaint asked for during a paint on this thread is skipped
    bool regionApplied_ = false;
    TAdvancedTimer* repeatTimer_ = nullptr;
    bool autoRepeat_ = false;
    TPaintMode paintMode_ = pmNormal;
    bool pressed_ = false;
    bool mouseOver_ = false;
    bool enabled_ = true;
    bool trackingLeave_ = false;
    bool spaceDown_ = false;  // pressed with the space bar
    std::string pictureNames_[3];
    TPicture picIdle_, picDown_, picDsbld_, picUp_;
    HIMAGELIST imageList_ = nullptr;
};
