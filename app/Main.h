// The main window TfrmMain: its state fields, its controls and its handlers.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Taskbar.h"
#include "convert/ConvertLogic.h"

#include "framework/Controls.h"
#include "framework/handles.h"

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
    double OutputRateKBps = 0;
    std::int64_t ExpectedSize = 0;  // 64-bit, so that long files get the right percentage
    int CurrentRow = 0;
    std::int64_t LastSize = 0;
    bool Converting = false;
    std::string TempDir;
    std::string WorkDir;
    std::string AppDir;
    std::string FfmpegPath;
    std::string MediainfoPath;
    std::string CurrentOutputPath;
    std::string CurrentInputPath;
    std::string FfmpegArgs;
    std::string LastFolder;
    // The encoder started for the current file: its end decides the row's outcome.
    fw::unique_handle EncoderProcess;
    DWORD EncoderProcessId = 0;
    // A media tool that has not answered by then never will: the file gets no answer.
    DWORD ProbeTimeLimitMs = 60000;
    // Why each row failed, in step with the queue's lists; empty for the other rows.
    std::vector<std::string> RowReasons;
    // The outputs written in this run, so that two inputs of one name never write one file.
    convert::ClaimedOutputs WrittenOutputs;
    // Set when the encoder could not be written into the tool folder at start-up.
    std::string ToolsFailure;
    // The batch that one click on the convert button started: the rows pending then, how
    // many of them have ended, and whether one failed. Shown on the taskbar button.
    bool BatchRunning = false;
    int BatchTotal = 0;
    int BatchEnded = 0;
    bool BatchFailed = false;
    std::unique_ptr<TTaskbarProgress> Taskbar = std::make_unique<TTaskbarProgress>();
    // Files and folders dropped, given on the command line or handed over by a second copy,
    // waiting to be queued once the window is free.
    std::vector<std::string> ItemsToQueue;

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
    // FormCreate steps 1 to 8: folders and settings.
    void FixFoldersAndSettings();
    // FormCreate step 9: writes the embedded tools into the tool folder.
    void StageTools();
    std::string ShortName(const std::string& path) const;
    void EzRgnBtn2Click(fw::TComponent* sender);
    // Deletes the staged tools and the program's files in the temporary folder, in the
    // order of the close button or of a normal end.
    void DeleteLeftovers(bool closeButtonOrder);

    // ---- the queue ----
    void AddQueueRow(const std::string& path, const std::string& duration);
    void DeleteQueueRow(int index);
    std::string NamePart(const std::string& path) const;
    int RowCount() const;
    std::string RowState(int row) const;
    void SetRowState(int row, const std::string& state);
    void SetRowConverted(int row, const std::string& text);
    // Marks the row "Failed" and keeps the reason beside it.
    void FailRow(int row, const std::string& reason);

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
    // Keeps the items and queues them from the message loop, once no dialog is open.
    void QueueItemsLater(const std::vector<std::string>& items);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void EditKeyPress(fw::TComponent* sender, char& key);
    // The path the open dialog gave, or none when it was cancelled.
    std::optional<std::string> ChooseMp4File();

    // ---- row actions and drawing ----
    void ListView1Click(fw::TComponent* sender);
    void ListView1KeyDown(fw::TComponent* sender, WORD& key, fw::TShiftState shift);
    void d4_ListViewCustomDrawSubItem(fw::TComponent* sender, int row, int column,
                                      fw::TListView::CellStyle& style, bool& defaultDraw);

    // ---- converting ----
    void EzRgnBtn3Click(fw::TComponent* sender);
    void MyTimerEventHandlerConversion(fw::TComponent* sender);
    // The encoder's output for the current file: in the temporary folder, replaced by the next.
    std::string EncoderLogPath() const;

    // ---- chrome ----
    void Image1MouseDown(fw::TComponent* sender, fw::TMouseButton button, fw::TShiftState shift, int x, int y);
    void EzRgnBtn1Click(fw::TComponent* sender);
    void LinkMouseEnter(fw::TComponent* sender);
    void LinkMouseLeave(fw::TComponent* sender);
    void OpenLink(const char* address);

private:
    void CreateControls();
    // Starts the encoder for CurrentRow; false when the row failed before anything ran.
    bool StartCurrentFile();
    // A batch's start and end: the taskbar button, a system kept awake, a flash at the end.
    void BeginBatch();
    void EndBatch();
    // Shows the batch's progress on the taskbar button.
    void ShowBatchProgress(std::int64_t currentSize);
    // Counts a file of the batch as ended, failed or not, and shows the progress.
    void BatchFileEnded();
    // Ends the current file: "Done"/"MPG", or "Failed" with the reason; then the next pending row.
    void FinishCurrentFile(TAdvancedTimer* timer, const std::string& failure);
};

extern TfrmMain* frmMain;
