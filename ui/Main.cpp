// The main window: built from its form description, then started by FormCreate: folders and
// settings, the rows a crash left, the batch.
#include "ui/Main.h"

#include "app/AppLogic.h"
#include "app/Settings.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Registry.h"
#include "framework/Unicode.h"
#include "framework/advantmr.h"
#include "framework/errors.h"
#include "queue/QueueLogic.h"

TfrmMain* frmMain = nullptr;

namespace {
constexpr const char* kKeptRowsPrefix = "queue";
}  // namespace

TfrmMain::TfrmMain(fw::TComponent* owner) : fw::TForm(owner, "TfrmMain")
{
    CreateControls();
    try {
        FormCreate(this);
    } catch (...) {
        fw::Application->HandleException();  // the window still opens
    }
}

TfrmMain::~TfrmMain()
{
    FormDestroy(this);
}

void TfrmMain::FormCreate(fw::TComponent*)
{
    FixFoldersAndSettings();
    // The tools are written once the window shows (FormShow).
    KeptRows = std::make_unique<fw::THeldFile>(AppDir, kKeptRowsPrefix);
    Queue->OnChange = [this] { KeptRows->Write(queue::SavedRowsText(Queue->Unfinished())); };
}

void TfrmMain::OfferLeftBehindRows()
{
    std::vector<queue::SavedRow> rows;
    for (const std::string& text : fw::THeldFile::TakeLeftBehind(AppDir, kKeptRowsPrefix))
        for (queue::SavedRow& row : queue::ParseSavedRows(text)) rows.push_back(std::move(row));
    if (rows.empty() || !fw::Application->Ask(queue::RestoreQuestion(rows.size()))) return;
    for (const queue::SavedRow& row : rows) Queue->Add(row.path, row.duration);
}

void TfrmMain::EzRgnBtn3Click(fw::TComponent*)
{
    WaitForTools();
    OutputRateKBps = convert::kOutputRateKBps;
    Batch->Start({.encoderPath = FfmpegPath,
                  .outputFolder = WorkDir,
                  .logFolder = TempDir,
                  .encoderMissing = ToolsFailure,
                  .listFolder = AppDir,
                  .rateKBps = OutputRateKBps,
                  .encoders = EncoderCount()});
}

void TfrmMain::MyTimerEventHandlerConversion(fw::TComponent* sender)
{
    Batch->Tick(static_cast<TAdvancedTimer*>(sender));
}

int TfrmMain::EncoderCount() const
{
    return EncodersFromSettings();
}

void TfrmMain::FixFoldersAndSettings()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    TempDir = fw::Narrow(temp);
    LastFolder.clear();
    WorkDir = app::ProgramFolderUnder(GetPersonalFolder(), fw::IsLeadByte);
    AppDir = app::ProgramFolderUnder(GetAppDataFolder(), fw::IsLeadByte);

    fw::Guarded([&] {
        fw::TRegistry settings(kSettingsKey);
        if (!settings.ValueExists("WorkDir")) settings.WriteString("WorkDir", WorkDir);
        settings.WriteString("AppDir", AppDir);
    });

    ForceLastLevel(WorkDir);
    ForceLastLevel(AppDir);

    fw::Guarded([&] {
        fw::TRegistry settings(kSettingsKey);
        if (settings.ValueExists("WorkDir")) {
            Edit4->SetText(settings.ReadString("WorkDir"));
            std::string stored = Edit4->Text();
            if (!fw::DirectoryExists(stored)) {
                CreateDirectoryA(stored.c_str(), nullptr);
                settings.WriteString("WorkDir", stored);
            }
        }
    });

    Edit3->SetText(Edit4->Text());
    WorkDir = Edit3->Text();
}
