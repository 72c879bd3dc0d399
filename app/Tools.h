// The embedded tools as the session uses them: written into the tool folder on a worker once
// the window shows, waited for where an action needs them (the caption saying so), and
// removed at the end.
#pragma once
#include <functional>
#include <string>

#include "app/Events.h"
#include "app/Staging.h"

namespace app {

// The staged tools: short (8.3) paths, and why every file fails when the encoder is missing.
struct TToolPaths {
    std::string ffmpeg;
    std::string mediainfo;
    std::string encoderFailure;
    std::string discTool;
    std::string menuTool;  // spumux, for a disc's menu
    std::string font;      // the font the encoder's subtitles and a disc's menu are drawn in
};

class TTools {
public:
    // `folder` gives the tool folder, made where it is not yet; `events` say the waiting.
    TTools(std::function<std::string()> folder, const TSessionEvents& events)
        : folder_(std::move(folder)), events_(events) {}

    // Starts writing the tools on a worker of their own; once only. Its end is said as soon
    // as it comes, whether or not anything waits for the tools.
    void Stage();
    // Waits for the tools where an action needs them, the caption saying so, and takes the
    // writer's result once: the tools' paths, and the message when one was not written.
    void Wait();
    // The tools' paths once taken.
    const TToolPaths& Paths() const { return paths_; }
    // Other copies of the tools to use instead of the staged ones.
    void Use(TToolPaths paths);
    // The end: the writing is let finish and taken up by nobody, and the tools go.
    void Remove();

private:
    std::function<std::string()> folder_;
    const TSessionEvents& events_;
    TToolPaths paths_;
    bool taken_ = false;
    TToolWriter writer_;  // last: joined before what it writes to goes
};

}  // namespace app
