// Controls: windows wrapped in C++ objects, graphic controls that their form paints, and the form.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/handles.h"

namespace fw {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;  // the MK_* flags of the mouse message
using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;
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

    HCURSOR Cursor = nullptr;  // none: the class's own pointer
    std::string Hint;
    bool ShowHint = false;

protected:
    TBounds bounds_;
};

// A control without a window of its own, painted by its form in creation order.
class TGraphicControl : public TControl {
public:
    TGraphicControl(TComponent* owner, TForm* form);
    ~TGraphicControl() override;
    virtual void Paint(HDC dc) = 0;
    void SetBounds(const TBounds& bounds) override;
    void Invalidate() const;
    bool Contains(POINT clientPoint) const;

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    TForm* form_;
};

// A bitmap, sized to it.
class TImage : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void LoadFromResource(const char* name);
    void Paint(HDC dc) override;

private:
    unique_hbitmap bitmap_;
};

// A transparent text label; its font is the form's, with its own bold and underline.
class TLabel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    void SetFontStyle(bool bold, bool underline);
    bool Bold() const { return bold_; }
    bool Underline() const { return underline_; }
    bool AutoSize = true;
    void Paint(HDC dc) override;

private:
    void AdjustSize();
    std::string caption_;
    bool bold_ = false;
    bool underline_ = false;
};

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

// A windowed control of the program's own class that paints itself and reports mouse use.
class TCustomControl : public TWinControl {
public:
    TCustomControl(TComponent* owner, TWinControl* parent, const char* className, DWORD exStyle = 0);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual void Paint(HDC dc) = 0;
    // Draws what the parent shows beneath this control (its pictures and labels).
    void PaintParentBackground(HDC dc) const;

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    virtual void Click();
    // The base handling of a left press and release: the mouse is held while the button
    // is down, and a release inside the client area after a press makes a click.
    void BeginPress();
    void EndPress(POINT releasedAt);

private:
    bool clickPending_ = false;
};

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
    void Clear() { SetText(""); }
    void Append(const std::string& line);
    // Each line followed by CR LF. Raises EFCreateError "Cannot create file "%s". %s".
    void SaveToFile(const std::string& path) const;
    // Raises EFOpenError "Cannot open file "%s". %s".
    void LoadFromFile(const std::string& path);
};

class TButton : public TWinControl {
public:
    TButton(TComponent* owner, TWinControl* parent, const TBounds& bounds, const char* caption);
    TNotifyEvent OnClick;

protected:
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class TListBox : public TWinControl {
public:
    TListBox(TComponent* owner, TWinControl* parent, const TBounds& bounds);
    int Count() const;
    std::string Item(int index) const;
    void Add(const std::string& text);
    void Delete(int index);
    void Clear();
};

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

// A top-level window of the program: paints its graphic controls and routes mouse use to them.
class TForm : public TWinControl {
public:
    TForm(TComponent* owner, const char* className);
    ~TForm() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The window font, and variants of it with a style.
    HFONT Font(bool bold = false, bool underline = false) const;
    void SetFontFace(const char* face, int pixelHeight);
    void Show();
    void AddHintFor(TWinControl* control);
    // Paints the graphic controls, shifted by (dx, dy), into a device context.
    void PaintGraphics(HDC dc, int dx, int dy) const;

    COLORREF Color;
    TNotifyEvent OnShow;

private:
    friend class TGraphicControl;
    void Register(TGraphicControl* control) { graphics_.push_back(control); }
    void Unregister(TGraphicControl* control);
    TGraphicControl* GraphicAt(POINT clientPoint) const;
    void MouseButton(UINT msg, WPARAM wParam, LPARAM lParam);
    void TrackHover(POINT clientPoint);

    std::vector<TGraphicControl*> graphics_;
    TGraphicControl* hovered_ = nullptr;
    TGraphicControl* pressed_ = nullptr;
    bool tracking_ = false;
    unique_hfont fonts_[4];
    HWND tooltip_ = nullptr;
};

}  // namespace fw
