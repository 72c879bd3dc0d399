// The main window: built from its form description, then started by FormCreate.
#include "app/Main.h"

#include "convert/advantmr.h"
#include "framework/Application.h"

TfrmMain* frmMain = nullptr;

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
    StageTools();
}

void TfrmMain::EzRgnBtn3Click(fw::TComponent*)
{
    OutputRateKBps = convert::kOutputRateKBps;
    Batch->Start({.encoderPath = FfmpegPath,
                  .outputFolder = WorkDir,
                  .logFolder = TempDir,
                  .encoderMissing = ToolsFailure,
                  .rateKBps = OutputRateKBps,
                  .encoders = EncoderCount()});
}

void TfrmMain::MyTimerEventHandlerConversion(fw::TComponent* sender)
{
    Batch->Tick(static_cast<TAdvancedTimer*>(sender));
}
