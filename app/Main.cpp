// The main window: built from its form description, then started by FormCreate.
#include "app/Main.h"

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
    if (EncoderProcess) fw::Application->UnwatchHandle(EncoderProcess.get());
}

void TfrmMain::FormCreate(fw::TComponent*)
{
    FixFoldersAndSettings();
    StageTools();
}
