// Controls with a window of their own: the shared control base, the windowed control and its
// message routing, and the custom control that paints itself.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "framework/Component.h"

namespace fw {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;  // the MK_* flags of the mouse message
using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TComponent* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, char& key)>;

struct TBounds {
    int left = 0, top = 0, width = 0, height = 0;
};

class TForm;

// What graphic and windowed controls share: bounds, cursor and hint.
class TControl : public TComponent {
public:
    using TComponent::TComponent;
    const TBounds& Bounds() const { return bounds_; }
    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.width; }
    int Height() const { return bounds_.height; }
    virtual void SetBounds(const TBounds& bounds) { bounds_ = bounds; }
    void SetSize(int width, int height) { SetBounds({bounds_.left, bounds_.top, width, height}); }
    // The bounds the control was placed at in the 96-DPI layout, if it was placed.
    const std::optional<TBounds>& PlacedAt() const { return placedAt_; }
    void SetPlacedAt(const TBounds& at96) { placedAt_ = at96; }
    // After the window's DPI changed: what the control draws follows it.
    virtual void ScaleChanged(int /*oldDpi*/, int /*newDpi*/) {}

    HCURSOR Cursor = nullptr;  // none: the class's own pointer
    std::string Hint;
    bool ShowHint = false;

protected:
    TBounds bounds_;

private:
    std::optional<TBounds> placedAt_;
};


// Which button a mouse message is about.
TMouseButton ButtonOf(UINT msg);

// A control with a window of its own. The window procedure finds the object through a
// window property set at creation and cleared at WM_NCDESTROY.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner) : TControl(owner) {}
    ~TWinControl() override;
    HWND Handle() const { return handle_; }
    static TWinControl* FromHandle(HWND window);

    void SetBounds(const TBounds& bounds) override;
    void Invalidate() const;
    std::string Text() const;
    void SetText(const std::string& text);
    void SetFont(HFONT font);
    // Whether Tab stops at the control.
    void SetTabStop(bool stop);
    // The form the control lies on, if its parent is one.
    TForm* ParentForm() const;

    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    struct CreateArgs {
        const char* className = nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        HWND parent = nullptr;
        TBounds bounds;
        const char* text = "";
        bool systemClass = false;  // a class of the system, subclassed after creation
    };
    void CreateHandle(const CreateArgs& args);
    static void RegisterOwnClass(const char* name, UINT style, HCURSOR cursor);
    // WM_COMMAND, WM_NOTIFY and WM_CTLCOLOR* that the parent hands back to the control.
    virtual bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static LRESULT CALLBACK Router(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND handle_ = nullptr;
    WNDPROC systemProc_ = nullptr;
};

// A windowed control of the program's own class that paints itself and reports clicks.
class TCustomControl : public TWinControl {
public:
    TCustomControl(TComponent* owner, TWinControl* parent, const char* className, DWORD exStyle = 0);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual void Paint(HDC dc) = 0;
    // Draws what the parent shows beneath this control (its pictures and labels).
    void PaintParentBackground(HDC dc) const;

    TNotifyEvent OnClick;

protected:
    virtual void Click();
    // The base handling of a left press and release: the mouse is held while the button
    // is down, and a release inside the client area after a press makes a click.
    void BeginPress();
    void EndPress(POINT releasedAt);

private:
    bool clickPending_ = false;
};

}  // namespace fw
