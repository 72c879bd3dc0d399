// TfrmMain: the main window, a view of the session. Its controls, their layout and drawing,
// the keys and the chrome; each handler forwards to the session in a line or two, and the
// window follows the session's events to show what changed.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Session.h"
#include "framework/Controls.h"

class TBatchNotice;
class TEzRgnBtn;
class TListCaption;
class TTaskbarProgress;

// Moves a window with the mouse, as if by its caption.
void DragWindow(HWND window);
// Opens a file, a folder or a web address as Explorer would.
void OpenWithShell(HWND owner, const std::string& target);

// Where the convert button lies at 96 DPI; the label under it is centred by it.
inline constexpr fw::TBounds kConvertButtonAt{436, 384, 41, 41};

class TfrmMain : public fw::TForm {
public:
    // `over`, where given, puts what a run of the command line does over the window's own
    // answers to the session's events.
    using EventsOver = std::function<app::TSessionEvents(app::TSessionEvents window)>;
    explicit TfrmMain(app::TSession& session, const EventsOver& over = {});
    ~TfrmMain() override;

    // After a batch: the countdown, when sleep or shutdown was chosen.
    void BatchEnded();
    // Esc or "Stop converting...": after the running files, now, or not at all.
    void AskStop();
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Posted to the window: go on once it shows, follow a batch's end, a notification's news.
    enum : UINT { kShownMessage = WM_APP + 1, kBatchEndedMessage, kNoticeMessage };
    void CreateControls();
    void CreateGraphics();
    void CreatePictureButtons();
    void CreatePathRows();
    void CreateFileList();
    void Subscribe(const EventsOver& over);

    // ---- handlers ----
    void OnAddFileClick();
    void OnCloseClick();
    void OnListClick();
    void OnListKeyDown(WORD& key, fw::TShiftState shift);
    void OnListMenu(POINT screen);
    // The convert button's menu: the targets.
    void OnConvertMenu(POINT screen);
    // "Options…" or Ctrl+comma: every setting, its name example made from the selected row;
    // "Fit to ▸ Other size…" opens it at the size to fit.
    void OnOptions(bool otherSize = false);
    // Esc and Pause during a batch, Ctrl+O and Ctrl+comma, whichever control has the focus.
    bool OnKey(const MSG& msg);

    // ---- showing the session ----
    void ShowRow(TQueue::Change change, int row);
    void ShowChoices();
    void ShowProgress(const app::ProgressShown& progress);
    void ShowBatchEnd(const std::string& said);
    // The full path of a row whose name the column cuts short.
    std::string RowTip(int row) const;
    void DrawCell(int row, int column, fw::TListView::CellStyle& style);

    // ---- chrome ----
    // The window's round shape, its corners scaled to its DPI.
    void ApplyShape();

    app::TSession& session_;
    // The controls the window changes after it has made them.
    fw::TEdit* fileEdit_ = nullptr;
    fw::TEdit* folderEdit_ = nullptr;
    fw::TEdit* outputFolderEdit_ = nullptr;
    fw::TListView* fileList_ = nullptr;
    std::unique_ptr<TListCaption> listCaption_;
    fw::TLabel* targetLabel_ = nullptr;
    TEzRgnBtn* convertButton_ = nullptr;
    std::unique_ptr<TTaskbarProgress> taskbar_;
    std::unique_ptr<TBatchNotice> notice_;
};
