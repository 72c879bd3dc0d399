// Process entry: the one-copy lock, the application object, the title, the main window,
// the message loop.
#include <windows.h>

#include <cstdio>

#include "app/AppLogic.h"
#include "app/Main.h"
#include "app/MainInstance.h"
#include "framework/Application.h"
#include "framework/Files.h"

namespace {

// Said where it can be seen: a message box when there is a desktop, and the standard error
// of a console that started the program.
int CannotStart(const std::string& why)
{
    const std::string text = app::NoWindowMessage(why);
    std::fprintf(stderr, "%s\n", text.c_str());
    fw::Application->ShowMessage(text);
    return 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    fw::Application->SetTitle("Mervane");  // before the application window: the guard compares it
    TInstanceLock lock;
    if (!lock.Held())
        if (std::optional<int> exitCode = HandOverWhenReady(lock, fw::Application->Title())) return *exitCode;

    fw::Application->Initialize();
    if (!fw::Application->Handle()) {
        const DWORD error = GetLastError();  // none at all without a display under Wine
        return CannotStart(error ? fw::SystemErrorText(error) : std::string());
    }
    fw::AllowFromLowerIntegrity(fw::Application->Handle(), {WM_COPYDATA, kForwardMessage});
    try {
        frmMain = new TfrmMain(nullptr);
    } catch (const std::exception& error) {
        return CannotStart(error.what());
    }
    try {
        fw::Application->SetMainForm(frmMain);
        // Files and folders named on the command line are queued once the window shows.
        if (std::vector<std::string> items = CommandLinePaths(); !items.empty()) frmMain->QueueItemsLater(items);
        fw::Application->Run();
        delete frmMain;
    } catch (...) {
        fw::Application->HandleException();
        return 1;
    }
    return 0;
}
