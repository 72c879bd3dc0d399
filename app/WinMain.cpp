// Process entry: the application object, the title, the main window, the message loop.
#include <windows.h>

#include "app/Main.h"
#include "app/MainInstance.h"
#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    fw::Application->Initialize();
    fw::Application->SetTitle("Mervane");  // before the main window: the guard compares it
    try {
        frmMain = new TfrmMain(nullptr);
        fw::Application->SetMainForm(frmMain);
        // Files and folders named on the command line are queued once the window shows.
        if (std::vector<std::string> items = CommandLinePaths(); !items.empty()) frmMain->QueueItemsLater(items);
        fw::Application->Run();
        delete frmMain;
    } catch (...) {
        fw::Application->HandleException();
    }
    return 0;
}
