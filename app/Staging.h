// The embedded tools: their resources, the files they become, and the ending of encoders.
#pragma once
#include <windows.h>

#include <exception>
#include <string>

#include <functional>

#include "framework/Worker.h"
#include "framework/handles.h"

struct Payload {
    const char* resource;
    const char* fileName;
    bool optional;  // the encoder's runtime libraries exist only for builds that need them
};

// In staging order.
inline constexpr Payload kPayloads[] = {
    {"MYEX7", "mediainfo.exe", false},
    {"MYEX2", "cygwin1.dll", true},
    {"MYEX3", "cygz.dll", true},
    {"MYEX1", "ffmpeg.exe", false},
    {"MYEX8", "fonts\\DejaVuSans.ttf", false},  // the subtitles' font, in the encoder's "fonts"
    {"MYEX9", "dvdauthor.exe", false},  // lays a batch out as a DVD-Video disc
    {"MYEX10", "spumux.exe", false},    // puts a disc menu's buttons into its pages
};

// What writing the tools into the tool folder came to.
struct StagedTools {
    std::string ffmpegPath;      // short (8.3) forms, as the launcher puts them on its lines
    std::string mediainfoPath;
    std::string discToolPath;
    std::string menuToolPath;
    std::string firstFailure;    // the first tool not written: "ffmpeg.exe: reason"
    std::string encoderFailure;  // why every file fails, when the encoder is the one not written
    std::exception_ptr error;    // a tool missing from the program itself
};

// Writes the embedded tools on a thread of its own, so that the window shows first and
// answers meanwhile. The result belongs to the thread until it has ended.
class TToolWriter {
public:
    // Starts the writing, once; `written` is called on the window's thread when it ends.
    void Start(const std::string& toolFolder, std::function<void()> written);
    bool Started() const { return worker_.Started(); }
    bool Ended() const { return worker_.Ended(); }
    // Waits for the writing to end while the window keeps answering.
    const StagedTools& Wait();
    // Waits without looking at the window's messages, and tells nobody: for the end of the
    // program. The tools are never deleted while they are being written.
    void Join() { worker_.Join(); }

private:
    void Write();
    std::string folder_;
    StagedTools result_;
    fw::TWorker worker_;  // last: joined before the result goes
};

// The short (8.3) form of an existing path; empty when there is none.
std::string ShortName(const std::string& path);
