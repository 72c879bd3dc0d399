// Process entry: the one-copy lock, the application object, the title, the session and its
// window, the message loop.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "app/AppLogic.h"
#include "app/MainInstance.h"
#include "app/Session.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "ui/Main.h"

namespace {

// Said where it can be seen: a message box when there is a desktop, and the console that
// started the program (a windowed program has none of its own, unless its standard error
// was redirected).
int CannotStart(const std::string& why)
{
    const std::string text = app::NoWindowMessage(why);
    if (GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_UNKNOWN && AttachConsole(ATTACH_PARENT_PROCESS))
        std::freopen("CONOUT$", "w", stderr);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    fw::Application->ShowMessage(text);
    return 1;
}

void ShowMessage(const std::string& text)
{
    fw::Application->ShowMessage(text);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    fw::Application->SetTitle("Mervane");  // before the application window: the guard compares it
    TInstanceLock lock;
    if (!lock.Held())
        if (std::optional<int> exitCode = HandOverWhenReady(lock, fw::Application->Title(), &ShowMessage)) return *exitCode;

    fw::Application->Initialize();
    if (!fw::Application->Handle()) {
        const DWORD error = GetLastError();  // none at all without a display under Wine
        return CannotStart(error ? fw::SystemErrorText(error) : std::string());
    }
    fw::AllowFromLowerIntegrity(fw::Application->Handle(), {WM_COPYDATA});
    TMainInstance guard(nullptr, &ShowMessage);  // a second copy ends here, before it touches any setting
    std::unique_ptr<app::TSession> session;
    std::unique_ptr<TfrmMain> window;
    try {
        session = std::make_unique<app::TSession>();
        window = std::make_unique<TfrmMain>(*session);
    } catch (const std::exception& error) {
        return CannotStart(error.what());
    }
    try {
        fw::Application->SetMainForm(window.get());
        // Files and folders named on the command line are queued once the window shows.
        session->Intake().Hand(CommandLinePaths());
        fw::Application->Run();
        window.reset();
        session.reset();
    } catch (...) {
        fw::Application->HandleException();
        return 1;
    }
    return 0;
}
