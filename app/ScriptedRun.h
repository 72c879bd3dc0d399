// A run that the command line asked to convert at once (/convert) or to end with its batch
// (/close): nothing is asked and nothing waits for a click, so that a script or a scheduled
// task runs it unattended, and the exit code says how it went.
#pragma once
#include <string>

#include "app/CommandLine.h"
#include "app/Session.h"

namespace app {

// Writes a line to the console that started the program, where there is one (a windowed
// program has none of its own, unless its standard error was redirected); false where none.
bool SayOnConsole(const std::string& text);

class TScriptedRun {
public:
    TScriptedRun(TSession& session, const RunRequest& request) : session_(session), request_(request) {}

    // The window's events with the run's over them. With /convert: a question before the
    // files are queued (a crash's rows, a download) is answered no, one after it (convert
    // anyway, fit the disc to a DVD) as its default, yes; a message goes to the console; the
    // batch starts once the files are queued. With /close: the program ends with the batch.
    TSessionEvents Over(TSessionEvents window);
    // What the program ends with.
    int ExitCode() const { return exitCode_; }

private:
    void Queued();
    void Ended();

    TSession& session_;
    RunRequest request_;
    bool queued_ = false;
    int exitCode_ = kExitAllDone;
};

}  // namespace app
