// The embedded tools as the session uses them.
#include "app/Tools.h"

#include <utility>

#include "app/AppLogic.h"
#include "framework/handles.h"

namespace app {

void TTools::Stage()
{
    if (!writer_.Started()) writer_.Start(folder_(), [this] { Wait(); });
}

void TTools::Wait()
{
    if (taken_) return;
    Stage();
    if (!writer_.Ended()) {
        fw::scope_exit restoreCaption([&] { ShowStatus(events_, {}); });
        ShowStatus(events_, kPreparingTools);
        writer_.Wait();
    }
    if (std::exchange(taken_, true)) return;  // taken while a message waited
    const StagedTools& tools = writer_.Wait();
    paths_ = {tools.ffmpegPath, tools.mediainfoPath, tools.encoderFailure, tools.discToolPath, tools.menuToolPath, folder_() + "fonts\\DejaVuSans.ttf"};
    if (tools.error) std::rethrow_exception(tools.error);
    if (!tools.firstFailure.empty()) Tell(events_, ToolsNotWrittenMessage(folder_(), tools.firstFailure));
}

void TTools::Use(TToolPaths paths)
{
    Wait();
    paths_ = std::move(paths);
}

void TTools::Remove()
{
    writer_.Join();
    if (!writer_.Started()) return;  // the tools are staged only once the program's folders are made
    const std::string app = folder_();
    // The encoder under the name it was written as, should the writing not have been taken up.
    const std::string encoder = paths_.ffmpeg.empty() ? app + "ffmpeg.exe" : paths_.ffmpeg;
    // An earlier version's runtime libraries and media tool library go with them.
    const std::string paths[] = {encoder, app + "cygwin1.dll", app + "cygz.dll", app + "mediainfo.dll",
                                 app + "mediainfo.exe", app + "fonts\\DejaVuSans.ttf", app + "dvdauthor.exe", app + "spumux.exe"};
    for (const std::string& path : paths) DeleteFileA(path.c_str());
    RemoveDirectoryA((app + "fonts").c_str());
}

}  // namespace app
