// Process entry: the one-copy lock, the application object, the title, the session and its
// window, the message loop.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "app/AppLogic.h"
#include "app/CommandLine.h"
#include "app/MainInstance.h"
#include "app/ScriptedRun.h"
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
    app::SayOnConsole(text);
    fw::Application->ShowMessage(text);
    return 1;
}

// /? and a usage error: the usage on the console that started the program, or in a message
// box where there is none.
int Usage(const app::RunRequest& request)
{
    const std::string text = (request.error.empty() ? "" : request.error + "\n\n") + app::UsageText();
    if (!app::SayOnConsole(text)) fw::Application->ShowMessage(text);
    return request.error.empty() ? 0 : app::kExitUsage;
}

void ShowMessage(const std::string& text)
{
    fw::Application->ShowMessage(text);
}

// With a copy already running: the paths handed to it, and the exit code to end with; its
// options are not carried over, which is said. None where this copy is the one to run.
std::optional<int> HandOverToRunningCopy(TInstanceLock& lock, const app::RunRequest& request)
{
    const std::optional<int> exitCode = HandOverWhenReady(lock, fw::Application->Title(), &ShowMessage);
    if (!exitCode || !request.HasOptions()) return exitCode;
    app::SayOnConsole("Mervane is already running: it took the files, not the options.");
    return app::kExitUsage;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    fw::Application->SetTitle("Mervane");  // before the application window: the guard compares it
    const app::RunRequest request = app::ParseCommandLine(CommandLineArguments());
    if (request.help || !request.error.empty()) return Usage(request);
    TInstanceLock lock;
    if (!lock.Held())
        if (const std::optional<int> exitCode = HandOverToRunningCopy(lock, request)) return *exitCode;

    fw::Application->Initialize();
    if (!fw::Application->Handle()) {
        const DWORD error = GetLastError();  // none at all without a display under Wine
        return CannotStart(error ? fw::SystemErrorText(error) : std::string());
    }
    fw::AllowFromLowerIntegrity(fw::Application->Handle(), {WM_COPYDATA});
    TMainInstance guard(nullptr, &ShowMessage);  // a second copy ends here, before it touches any setting
    std::unique_ptr<app::TSession> session;
    std::unique_ptr<app::TScriptedRun> run;
    std::unique_ptr<TfrmMain> window;
    try {
        session = std::make_unique<app::TSession>(app::TSessionTunings{}, request);
        run = std::make_unique<app::TScriptedRun>(*session, request);
        window = std::make_unique<TfrmMain>(*session, [&run](app::TSessionEvents events) { return run->Over(std::move(events)); });
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
    return run->ExitCode();
}
