// The embedded tools: their resources, the files they become, and the ending of encoders.
#pragma once
#include <windows.h>

#include <exception>
#include <string>

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
};

// What writing the tools into the tool folder came to.
struct StagedTools {
    std::string ffmpegPath;      // short (8.3) forms, as the launcher puts them on its lines
    std::string mediainfoPath;
    std::string discToolPath;
    std::string firstFailure;    // the first tool not written: "ffmpeg.exe: reason"
    std::string encoderFailure;  // why every file fails, when the encoder is the one not written
    std::exception_ptr error;    // a tool missing from the program itself
};

// Writes the embedded tools on a thread of its own, so that the window shows first and
// answers meanwhile. The result belongs to the thread until it has ended.
class TToolWriter {
public:
    TToolWriter() = default;
    // Waits for the thread: the tools are never deleted while they are being written.
    ~TToolWriter() { Join(); }
    TToolWriter(const TToolWriter&) = delete;
    TToolWriter& operator=(const TToolWriter&) = delete;

    void Start(const std::string& toolFolder);
    bool Started() const { return static_cast<bool>(thread_); }
    HANDLE Thread() const { return thread_.get(); }
    // Waits for the writing to end while the window keeps answering.
    const StagedTools& Wait();
    // Waits without looking at the window's messages: for the end of the program.
    void Join();

private:
    static DWORD WINAPI Write(void* self);
    std::string folder_;
    StagedTools result_;
    fw::unique_handle thread_;
};

// The short (8.3) form of an existing path; empty when there is none.
std::string ShortName(const std::string& path);
