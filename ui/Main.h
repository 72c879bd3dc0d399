// The main window TfrmMain: its state fields, its controls and its handlers.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Staging.h"
#include "convert/Batch.h"
#include "framework/HeldFile.h"
#include "framework/Controls.h"
#include "queue/Queue.h"

class TEzRgnBtn;
class TTranPanel;
class TFindFile;
class TMainInstance;
class TAdvancedTimer;
class DurationProbe;

class TfrmMain : public fw::TForm {
public:
    explicit TfrmMain(fw::TComponent* owner);
    ~TfrmMain() override;

    // ---- state, in its declared order ----
    // Each file's own state (its row, paths, argument string, expected and last sizes)
    // lives with its conversion in the batch, since several convert at once.
    double OutputRateKBps = 0;
    std::string TempDir;
    std::string WorkDir;
    std::string AppDir;
    std::string FfmpegPath;
    std::string MediainfoPath;
    std::string LastFolder;
    // A media tool that has not answered by then never will: the file gets no answer.
    DWORD ProbeTimeLimitMs = 60000;
    // Set when the encoder could not be written into the tool folder at start-up.
    std::string ToolsFailure;
    TToolWriter Tools;
    // The rows not yet done, kept in the tool folder against a crash.
    std::unique_ptr<fw::THeldFile> KeptRows;
    // Files and folders dropped, given on the command line or handed over by a second copy,
    // waiting to be queued once the window is free.
    std::vector<std::string> ItemsToQueue;
    // The files to convert (the only user of the list view and the hidden lists), and the
    // batch that converts them.
    std::unique_ptr<TQueue> Queue;
    std::unique_ptr<convert::TBatch> Batch;
    // Whether a batch converts: the queue may not change while it does.
    bool Converting() const { return Batch && Batch->Running(); }

    // ---- controls, as the window lays them out ----
    fw::TImage* Image1 = nullptr;
    fw::TImage* Image2 = nullptr;
    fw::TImage* Image3 = nullptr;
    fw::TLabel* Label1 = nullptr;
    fw::TLabel* Label2 = nullptr;
    fw::TLabel* Label3 = nullptr;
    fw::TLabel* Label4 = nullptr;
    fw::TLabel* Label5 = nullptr;
    fw::TLabel* Label6 = nullptr;
    fw::TLabel* Label7 = nullptr;
    fw::TLabel* Label8 = nullptr;
    fw::TLabel* Label10 = nullptr;
    fw::TLabel* Label11 = nullptr;
    fw::TLabel* Label12 = nullptr;
    fw::TLabel* Label13 = nullptr;
    TTranPanel* TranPanel1 = nullptr;
    TTranPanel* TranPanel2 = nullptr;
    TEzRgnBtn* EzRgnBtn1 = nullptr;
    TEzRgnBtn* EzRgnBtn2 = nullptr;
    TEzRgnBtn* EzRgnBtn3 = nullptr;
    fw::TEdit* Edit1 = nullptr;
    fw::TEdit* Edit2 = nullptr;
    fw::TEdit* Edit3 = nullptr;
    fw::TButton* Button1 = nullptr;
    fw::TButton* Button2 = nullptr;
    fw::TButton* Button3 = nullptr;
    fw::TListView* ListView1 = nullptr;
    // hidden storage, right of the visible area
    fw::TEdit* Edit4 = nullptr;
    fw::TMemo* Memo3 = nullptr;
    fw::TListBox* ListBox1 = nullptr;
    fw::TListBox* ListBox2 = nullptr;
    fw::TLabel* Label14 = nullptr;
    fw::TLabel* Label15 = nullptr;
    fw::TLabel* Label16 = nullptr;
    fw::TLabel* Label17 = nullptr;
    // non-visual components
    TMainInstance* MainInstance1 = nullptr;
    TFindFile* FindFile1 = nullptr;

    // ---- start and end ----
    void FormCreate(fw::TComponent* sender);
    void FormDestroy(fw::TComponent* sender);
    void FormShow(fw::TComponent* sender);
    // After a crash: offers the rows that the copy which crashed had not done.
    void OfferLeftBehindRows();
    // The same, once the window has shown.
    void OfferLeftBehindRowsLater();
    // FormCreate steps 1 to 8: folders and settings.
    void FixFoldersAndSettings();
    // Writes the embedded tools into the tool folder on a thread of its own, once the
    // window shows: the window does not wait for them.
    void StageTools();
    // Waits for the tools where they are needed, the list's caption saying so, and takes
    // the writer's result once: the tools' paths, and the message when one was not written.
    void WaitForTools();
    void EzRgnBtn2Click(fw::TComponent* sender);
    // Deletes the staged tools and the program's files in the temporary folder, in the
    // order of the close button or of a normal end.
    void DeleteLeftovers(bool closeButtonOrder);

    // ---- filling the queue ----
    std::optional<std::string> ProbeDuration(const std::string& path);
    // Waits for a started probe and reads its answer: the duration entry, or none.
    std::optional<std::string> ReadProbeAnswer(DurationProbe& probe);
    // Queues the MP4 files of a folder, probing two at a time, in the finder's order,
    // up to the first file without an answer (its message is shown) or an ESC.
    // False when ESC stopped it.
    bool AddFolderFiles(const std::string& folder);
    void Button1Click(fw::TComponent* sender);
    void Button2Click(fw::TComponent* sender);
    void Button3Click(fw::TComponent* sender);
    // Queues dropped items in their order: MP4 files as "Add MP4 File" queues one, folders
    // as "Add Folder" does; one message lists what was passed over.
    void AddDroppedItems(const std::vector<std::string>& items);
    // Keeps the items and queues them from the message loop, once no dialog is open, the
    // burst they came in is over and no batch converts.
    void QueueItemsLater(const std::vector<std::string>& items);
    void QueueWaitingItems();
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void EditKeyPress(fw::TComponent* sender, char& key);
    // The path the open dialog gave, or none when it was cancelled.
    std::optional<std::string> ChooseMp4File();

    // ---- row actions and drawing ----
    void ListView1Click(fw::TComponent* sender);
    // The folder "MPG" opens for a done row.
    std::string OutputFolderOf(int row) const;
    void OpenInputOf(int row);
    void OpenOutputOf(int row);
    // Why a failed row failed, or why a done row's file has another name.
    void ShowReasonOf(int row);
    void ListView1KeyDown(fw::TComponent* sender, WORD& key, fw::TShiftState shift);
    // Double click or Enter: the row's input opens, as a click on its name does.
    void ListView1Open(fw::TComponent* sender);
    // The full path of a row whose name the column cuts short.
    std::string ListView1RowTip(int row) const;

    // ---- the user in charge of a batch ----
    // The list's context menu on the selected rows.
    void ListView1ContextPopup(fw::TComponent* sender, POINT screen);
    // Esc or "Stop converting...": after the running files, now, or not at all.
    void AskStop();
    enum class AfterBatch { Nothing, Sleep, ShutDown };
    // What follows the next batch's end; it applies once, then goes back to Nothing.
    AfterBatch WhenBatchEnds = AfterBatch::Nothing;
    // The seconds the notice counts down before the system sleeps or shuts down.
    int CountdownSeconds = 30;
    // Puts the system to sleep or shuts it down: empty, or why the system refused. Tests
    // put a stand-in here; nothing else may.
    std::function<std::string(AfterBatch)> PowerDown;
    // After a batch: the countdown, when sleep or shutdown was chosen.
    void BatchEnded();
    // From the message loop once a batch has ended: the items that came meanwhile are
    // queued, then BatchEnded.
    void BatchEndedLater();
    void d4_ListViewCustomDrawSubItem(fw::TComponent* sender, int row, int column,
                                      fw::TListView::CellStyle& style, bool& defaultDraw);

    // ---- converting ----
    void EzRgnBtn3Click(fw::TComponent* sender);
    void MyTimerEventHandlerConversion(fw::TComponent* sender);
    // How many encoders run at once: the machine's share, or the Encoders setting.
    int EncoderCount() const;

    // ---- chrome ----
    // The window's round shape, its corners scaled to its DPI.
    void ApplyShape();
    void Image1MouseDown(fw::TComponent* sender, fw::TMouseButton button, fw::TShiftState shift, int x, int y);
    void EzRgnBtn1Click(fw::TComponent* sender);
    void LinkMouseEnter(fw::TComponent* sender);
    void LinkMouseLeave(fw::TComponent* sender);
    void OpenLink(const char* address);

private:
    void CreateControls();
    bool toolsTaken_ = false;
    DWORD burstStart_ = 0;                 // when the first of the items waiting came
    std::size_t announcedWaiting_ = 0;     // items already said to wait for the batch's end
};

extern TfrmMain* frmMain;
