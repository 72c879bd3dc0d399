// Benchmarks of Mervane against references run side by side in the same go; prints ratios.
//   startup   launch to window shown: Mervane.exe against a program that only shows a window,
//             and that program again with the embedded tools inside it
//   batch     ten 12-second clips through the window's batch against the same encoder command
//             lines run directly, one after another and as many at once as the batch runs, their
//             output going to a file (no console); also four 10-second 1080p clips
//   adding    a folder of 50 clips through "Add Folder" (the picker left out) against 50 direct runs of the media tool
//   tree      a tree of 10,000 MP4 files in 1,000 folders found by "Add Folder" with Subfolders on,
//             up to where the probing begins, against the command interpreter's own walk
//             (dir /s /b) writing its list to a file; with the last caption and the longest
//             time between two of the walk's answers to the system
//   record    the record of outputs at 100,000 lines made whole at a batch's start (read, the
//             newest line of each output kept, written anew) against reading the file and
//             writing it once to another
//   quality   each clip of a folder (the wild clips beside the repository by default) through the
//             standard and the high quality's lines as the program builds them: the high quality's
//             SSIM and bytes, and its time as a ratio against the standard line's. The reference is
//             the clip made 25 frames a second by the same encoder, nearly lossless (MPEG-4 at
//             -q:v 1) and in an MPEG stream's 90 kHz time base, so that the same source frame fills
//             each slot: another encoder or time base picks some frames differently, and one frame
//             off costs far more SSIM than the encoding
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/Session.h"
#include "app/Settings.h"
#include "ui/Main.h"
#include "batch/OutputFiles.h"
#include "encode/EncoderArgs.h"
#include "encode/EncoderRun.h"
#include "batch/OutputRecord.h"
#include "framework/Files.h"
#include "framework/handles.h"
#include "framework/Launcher.h"
#include "app/MainInstance.h"
#include "framework/Application.h"
#include "queue/FindFile.h"
#include "../tests/integration/program.h"
#include "../tests/integration/support.h"

using namespace testing_support;

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A step that waits says so once it has waited this long, and what for.
constexpr DWORD kStepWaitMs = 60000;

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Seconds from CreateProcess until a visible window of class TfrmMain belongs to the process;
// a program that shows none within the step's wait is ended, and said.
double TimeToWindow(const std::string& commandLine)
{
    LARGE_INTEGER start = Now();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    HWND shown = nullptr;
    while (!shown && WaitForSingleObject(info.hProcess, 1) == WAIT_TIMEOUT) {
        if (Seconds(start, Now()) * 1000 > kStepWaitMs) {
            Say("startup: " + commandLine + " showed no window in a minute; ended");
            break;
        }
        HWND w = nullptr;
        while ((w = FindWindowExA(nullptr, w, kMainWindowClass, nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == info.dwProcessId && IsWindowVisible(w)) shown = w;
        }
    }
    double seconds = Seconds(start, Now());
    if (shown) PostMessageA(shown, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 20000) != WAIT_OBJECT_0) {
        if (shown) Say("startup: " + commandLine + " did not close in 20 s; ended");
        TerminateProcess(info.hProcess, 1);
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return seconds;
}

void Startup(std::vector<std::string>& rows)
{
    const std::string minimal = "\"" + ExeFolder() + "minimal_window.exe\"";
    const std::string carrying = "\"" + ExeFolder() + "minimal_window_payload.exe\"";
    const std::string mervane = "\"" + ProgramPath() + "\"";
    TimeToWindow(mervane);  // warm the file cache
    TimeToWindow(carrying);
    std::vector<double> ours, reference, payload;
    for (int i = 0; i < 11; ++i) {  // the medians of eleven: a start under Wine varies by a tenth
        reference.push_back(TimeToWindow(minimal));
        payload.push_back(TimeToWindow(carrying));
        ours.push_back(TimeToWindow(mervane));
    }
    char row[160];
    std::snprintf(row, sizeof row, "startup | %.3f s | %.3f s | %.2f", Median(ours), Median(reference),
                  Median(ours) / Median(reference));
    rows.push_back(row);
    // The same bare window carrying our tools: what the executable's size alone costs.
    std::snprintf(row, sizeof row, "startup bare+tools | %.3f s | %.3f s | %.2f",
                  Median(payload), Median(reference), Median(payload) / Median(reference));
    rows.push_back(row);
}

// The encoder run directly on each clip, `atOnce` at a time, started as the program starts
// its encoders (no console, standard handles, the messages going to a file).
double Direct(const std::string& encoder, const std::vector<std::string>& inputs, const std::string& out,
              std::size_t atOnce)
{
    LARGE_INTEGER start = Now();
    std::vector<fw::unique_handle> running;
    for (std::size_t next = 0; next < inputs.size() || !running.empty();) {
        for (; next < inputs.size() && running.size() < atOnce; ++next) {
            const std::string name = out + "direct" + std::to_string(next);
            fw::StartError error;
            running.push_back(fw::StartWithoutConsole(encoder, encode::EncodeArguments({inputs[next], name + ".mpg"}).Line(),
                                                           {name + ".log", true}, error));
        }
        std::vector<HANDLE> handles;
        for (const fw::unique_handle& process : running) handles.push_back(process.get());
        DWORD woke = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
        running.erase(running.begin() + (woke - WAIT_OBJECT_0));
    }
    return Seconds(start, Now());
}

// The clips through the window's batch, against the same command lines run directly one
// after another (the serial limit) and as many at once as the batch runs (the parallel limit).
void Batch(std::vector<std::string>& rows, const std::string& name, const std::vector<std::string>& clips)
{
    app::TSession session;
    session.Tools().Wait();
    const std::string out = FreshFolder("bench-out");
    session.ChooseOutputFolder(out.substr(0, out.size() - 1));
    const int encoders = TSettings::Read().Encoders();

    const double serial = Direct(session.Tools().Paths().ffmpeg, clips, out, 1);
    const double parallel = Direct(session.Tools().Paths().ffmpeg, clips, out, static_cast<std::size_t>(encoders));

    const TQueue& queue = session.Queue();
    session.Intake().AddItems(clips);  // probed before the clock starts
    LARGE_INTEGER start = Now();
    session.Start();
    while (!PumpUntil([&] { return !session.Busy(); }, kStepWaitMs))
        Say(name + ": still converting after " + std::to_string(static_cast<int>(Seconds(start, Now()))) + " s; " +
            session.ListCaption());
    const double batch = Seconds(start, Now());
    for (int i = 0; i < queue.Count(); ++i)
        if (queue.State(i) != queue::RowState::Done) std::printf("row %d failed: %s\n", i, queue.Reason(i).c_str());

    char row[160];
    std::snprintf(row, sizeof row, "%s, serial | %.2f s | %.2f s | %.2f", name.c_str(), batch, serial, batch / serial);
    rows.push_back(row);
    std::snprintf(row, sizeof row, "%s, %d at once | %.2f s | %.2f s | %.2f", name.c_str(), encoders, batch, parallel,
                  batch / parallel);
    rows.push_back(row);
    RemoveTree(out);
}

void Adding(std::vector<std::string>& rows, const std::string& clips)
{
    app::TSession session;
    session.Tools().Wait();
    TfrmMain form(session);
    form.Show();  // as a person sees it: every row drawn as it comes
    TFindFile finder(nullptr);
    finder.Filter = "*.mp4";
    finder.Directory = clips;
    finder.Execute();

    LARGE_INTEGER start = Now();
    for (const std::string& clip : finder.Files)
        RunAndCapture(session.Tools().Paths().mediainfo + " \"--Inform=General;%Duration/String3%\" \"" + clip + "\"");
    double direct = Seconds(start, Now());

    start = Now();
    session.Intake().AddFolder(clips.substr(0, clips.size() - 1));
    double adding = Seconds(start, Now());
    if (session.Queue().Count() != static_cast<int>(finder.Files.size()))
        std::printf("queued %d of %zu\n", session.Queue().Count(), finder.Files.size());

    char row[160];
    std::snprintf(row, sizeof row, "adding %zu | %.2f s | %.2f s | %.2f", finder.Files.size(), adding, direct,
                  adding / direct);
    rows.push_back(row);
}

void Tree(std::vector<std::string>& rows)
{
    const std::string top = FreshFolder("bench-tree");
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 100; ++b) {
            const std::string folder = top + "y" + std::to_string(a) + "\\m" + std::to_string(b) + "\\";
            CreateDirectoryA(folder.substr(0, folder.find("\\m", top.size())).c_str(), nullptr);
            CreateDirectoryA(folder.c_str(), nullptr);
            for (int c = 0; c < 10; ++c) CloseHandle(CreateFileA((folder + "v" + std::to_string(c) + ".mp4").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        }
    const std::string list = FreshFolder("bench-tree-list");
    LARGE_INTEGER start = Now();
    RunAndWaitExit("cmd /c dir /s /b \"" + top + "*.mp4\" > \"" + list + "list.txt\"");
    const double direct = Seconds(start, Now());

    app::TSession session;
    batch::Choices choices = session.Settings().Choices();
    choices.subfolders = true;
    session.Choose(choices);
    session.Tools().Wait();
    std::string caption;
    bool probing = false;
    double walked = 0, longest = 0, last = 0;
    app::TSessionEvents events;
    start = Now();
    events.OnStatus = [&](const std::string& text) {
        const double now = Seconds(start, Now());
        if (text.rfind("Looking for MP4 files", 0) == 0) {
            caption = text;
            walked = now;
            longest = std::max(longest, now - last);
            last = now;
        } else if (!text.empty()) {
            probing = true;
        }
    };
    events.OnStopWanted = [&] { return probing; };  // the probing of empty files is not measured
    session.Listen(events);
    session.Intake().AddFolder(top.substr(0, top.size() - 1));
    std::printf("tree: %s; longest between two answers %.3f s\n", caption.c_str(), longest);

    char row[160];
    std::snprintf(row, sizeof row, "tree 10000 in 1011 | %.2f s | %.2f s | %.2f", walked, direct, walked / direct);
    rows.push_back(row);
    RemoveTree(top);
    RemoveTree(list);
}

// The encoder run to its end, its messages in `log`: the seconds it took.
double RunEncoder(const std::string& args, const std::string& log)
{
    fw::StartError error;
    const LARGE_INTEGER start = Now();
    fw::unique_handle process = fw::StartWithoutConsole(PayloadFolder() + "ffmpeg.exe", args, {log, true}, error);
    if (process) WaitForSingleObject(process.get(), INFINITE);
    return Seconds(start, Now());
}

void Quality(const std::string& folder)
{
    const std::string work = FreshFolder("bench-quality"), log = work + "log.txt";
    std::printf("%-32s | %-8s | %-9s | %-9s | %s\n", "clip", "SSIM", "bytes", "standard", "time ratio");
    WIN32_FIND_DATAA entry{};
    fw::unique_hfind search(FindFirstFileA((fw::WithFinalBackslash(folder) + "*.mp4").c_str(), &entry));
    for (bool more = bool(search); more; more = FindNextFileA(search.get(), &entry)) {
        const std::string clip = fw::WithFinalBackslash(folder) + entry.cFileName;
        RunEncoder(encode::DescribeArguments(clip).Line(), log);
        const std::optional<encode::InputFacts> facts = encode::ReadInputFacts(encode::LogTail(log));
        if (!facts) continue;
        encode::EncodeRequest request{clip, work + "out.mpg", encode::Target::Mpeg, encode::Quality::Standard, facts};
        if (encode::FitMpeg1(facts->picture) != facts->picture) request.scaleTo = encode::FitMpeg1(facts->picture);
        const double standard = RunEncoder(encode::EncodeArguments(request).Line(), log);
        const std::int64_t standardBytes = static_cast<std::int64_t>(ReadFile(work + "out.mpg").size());
        request.quality = encode::Quality::High;
        const encode::TArguments high = encode::EncodeArguments(request);
        const double seconds = RunEncoder(high.Line(), log);
        const std::int64_t bytes = static_cast<std::int64_t>(ReadFile(work + "out.mpg").size());
        if (bytes == 0) continue;  // a clip the encoder cannot read
        const std::string picture = high.ValueOf("-map").empty() ? "" : " -map " + high.ValueOf("-map");  // the same picture track
        RunEncoder(" -y -i \"" + clip + "\"" + picture + " -vf \"" + high.ValueOf("-vf") +
                       "\" -r 25 -an -c:v mpeg4 -q:v 1 -video_track_timescale 90000 \"" + work + "reference.mp4\"",
                   log);
        RunEncoder(" -i \"" + work + "out.mpg\" -i \"" + work + "reference.mp4\" -lavfi \"[0:v]setpts=N/25/TB[o];[1:v]setpts=N/25/TB[r];[o][r]ssim\" "
                   "-an -r 25 -c:v mpeg4 -f null -",
                   log);
        std::string ssim = "?";
        for (const std::string& line : encode::LogTail(log))
            if (const std::size_t at = line.find("All:"); at != std::string::npos) ssim = line.substr(at + 4, 6);
        std::printf("%-32s | %-8s | %-9lld | %-9lld | %.2f\n", entry.cFileName, ssim.c_str(), static_cast<long long>(bytes),
                    static_cast<long long>(standardBytes), seconds / standard);
        std::fflush(stdout);
    }
    RemoveTree(work);
}

void Record(std::vector<std::string>& rows)
{
    const std::string folder = FreshFolder("bench-record");
    std::vector<batch::SavedOutput> lines;
    for (int i = 0; i < 100'000; ++i)
        lines.push_back({"C:\\Users\\someone\\Videos\\Holiday\\clip " + std::to_string(i % 60'000) + ".mpg",
                         "C:\\Users\\someone\\DCIM\\clip " + std::to_string(i % 60'000) + ".mp4", 1'000'000 + i, 133'000'000'000'000'000ull});
    const std::string text = batch::SavedOutputsText(lines), record = folder + "outputs.txt";
    std::vector<double> ours, reference;
    for (int run = 0; run < 3; ++run) {
        WriteFile(record, text);
        LARGE_INTEGER start = Now();
        { const batch::TOutputRecord made(record); }
        ours.push_back(Seconds(start, Now()));
        start = Now();
        WriteFile(folder + "copy.txt", *fw::ReadWholeFile(record, 1LL << 30));
        reference.push_back(Seconds(start, Now()));
    }
    char row[160];
    std::snprintf(row, sizeof row, "record 100,000 lines | %.3f s | %.3f s | %.1f", Median(ours), Median(reference),
                  Median(ours) / Median(reference));
    rows.push_back(row);
    RemoveTree(folder);
}

// The times of a batch of a folder's clips with these choices, into `out`: converting them,
// then making what is made of them (the disc or the joined file), from its start to the end.
struct BatchTimes {
    std::size_t clips = 0;
    double converting = 0, making = 0;
};
BatchTimes TimeBatch(const std::string& folder, const std::string& out, const std::function<void(batch::Choices&)>& choose)
{
    app::TSession session;
    session.Tools().Wait();
    session.ChooseOutputFolder(out.substr(0, out.size() - 1));
    batch::Choices choices = session.Settings().Choices();
    choose(choices);
    session.Choose(choices);
    TFindFile finder(nullptr);
    finder.Filter = "*.mp4";
    finder.Directory = fw::WithFinalBackslash(folder);
    finder.Execute();
    session.Intake().AddItems(std::vector<std::string>(finder.Files.begin(), finder.Files.end()));  // probed before the clock starts
    LARGE_INTEGER start = Now();
    session.Start();
    PumpUntil([&] { return session.Batch().Making() || !session.Busy(); }, 30 * 60 * 1000);
    const double converting = Seconds(start, Now());
    PumpUntil([&] { return !session.Busy(); }, 30 * 60 * 1000);
    return {finder.Files.size(), converting, Seconds(start, Now()) - converting};
}

// The clips joined: the join's time against their conversion's, and against its physical
// limit, the encoder copying the joined file's streams into another directly.
void Join(std::vector<std::string>& rows, const std::string& folder)
{
    const std::string out = FreshFolder("bench-join");
    const BatchTimes times = TimeBatch(folder, out, [](batch::Choices& c) { c.join = true, c.discName = "Joined"; });
    const double copy = RunEncoder("-y -i \"" + out + "Joined.mpg\" -map 0 -c copy -f mpeg \"" + out + "copy.mpg\"", out + "copy.log");
    char row[160];
    std::snprintf(row, sizeof row, "join of %zu clips | %.2f s | %.2f s | %.3f", times.clips, times.making, times.converting, times.making / times.converting);
    rows.push_back(row);
    std::snprintf(row, sizeof row, "join, the copy's limit | %.2f s | %.2f s | %.2f", times.making, copy, times.making / copy);
    rows.push_back(row);
    RemoveTree(out);
}

// The clips made into a DVD-Video disc without a menu and with one: the menu's cost, the
// difference of the two makings, against the conversion's time.
void Menu(std::vector<std::string>& rows, const std::string& folder)
{
    BatchTimes times[2];
    for (const disc::DiscMenu menu : {disc::DiscMenu::None, disc::DiscMenu::Titles}) {
        const std::string out = FreshFolder("bench-menu");
        times[menu == disc::DiscMenu::Titles] = TimeBatch(folder, out, [menu](batch::Choices& c) {
            c.target = encode::Target::DvdPal, c.disc = disc::Disc::DvdVideo, c.discMenu = menu, c.discName = "Menu";
        });
        RemoveTree(out);
    }
    const double menu = times[1].making - times[0].making, converting = (times[0].converting + times[1].converting) / 2;
    char row[160];
    std::snprintf(row, sizeof row, "disc menu of %zu clips | %.2f s | %.2f s | %.3f", times[1].clips, menu, converting, menu / converting);
    rows.push_back(row);
}

// The benchmarks on a folder of clips, the wild ones where none is named: "quality" (the high
// quality), "join" (joining against converting) and "menu" (a disc's menu against converting).
// False for any other name.
bool RunOnFolder(const std::string& name, const std::string& folder)
{
    if (name == "quality") return Quality(folder), true;
    if (name != "join" && name != "menu") return false;
    std::vector<std::string> rows;
    (name == "join" ? Join : Menu)(rows, folder);
    for (const std::string& row : rows) std::printf("%s\n", row.c_str());
    DeleteSettings();
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    fw::Application->Initialize();
    fw::Application->SetTitle("Mervane benchmark");
    DeleteSettings();
    if (argc > 1 && RunOnFolder(argv[1], argc > 2 ? argv[2] : fw::FullPath("..\\shared\\wild"))) return 0;
    // One benchmark's lines alone.
    const std::pair<const char*, void (*)(std::vector<std::string>&)> alone[] = {{"tree", Tree}, {"record", Record}, {"startup", Startup}};
    for (const auto& [name, measure] : alone) {
        if (argc < 2 || std::string(argv[1]) != name) continue;
        std::vector<std::string> rows;
        measure(rows);
        for (const std::string& row : rows) std::printf("%s\n", row.c_str());
        return 0;
    }

    Say("making clips...");
    const std::string batchClips = FreshFolder("bench-batch");
    std::vector<std::string> small, large;
    MakeClip(batchClips + "clip0.mp4", 12);
    MakeClip(batchClips + "large0.mp4", 10, "1920x1080");
    for (int i = 0; i < 10; ++i) {
        small.push_back(batchClips + "clip" + std::to_string(i) + ".mp4");
        CopyFileA(small[0].c_str(), small.back().c_str(), FALSE);
    }
    for (int i = 0; i < 4; ++i) {
        large.push_back(batchClips + "large" + std::to_string(i) + ".mp4");
        CopyFileA(large[0].c_str(), large.back().c_str(), FALSE);
    }
    const std::string addClips = FreshFolder("bench-add");
    MakeClip(addClips + "clip00.mp4", 2);
    for (int i = 1; i < 50; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "clip%02d.mp4", i);
        CopyFileA((addClips + "clip00.mp4").c_str(), (addClips + name).c_str(), FALSE);
    }

    // Each step's lines as it ends, then all of them as a table.
    const std::pair<const char*, std::function<void(std::vector<std::string>&)>> steps[] = {
        {"startup", Startup},
        {"batch 10x12s", [&](std::vector<std::string>& rows) { Batch(rows, "batch 10x12s", small); }},
        {"batch 4x1080p", [&](std::vector<std::string>& rows) { Batch(rows, "batch 4x1080p", large); }},
        {"adding", [&](std::vector<std::string>& rows) { Adding(rows, addClips); }},
        {"tree", Tree},
        {"record", Record},
    };
    std::vector<std::string> rows;
    for (const auto& [name, measure] : steps) {
        Say(std::string(name) + "...");
        const std::size_t before = rows.size();
        measure(rows);
        for (std::size_t i = before; i < rows.size(); ++i) Say(rows[i]);
    }

    std::printf("\n%-26s | %-9s | %-9s | %s\n", "measure", "Mervane", "reference", "ratio");
    for (const std::string& row : rows) {
        char name[64], ours[32], ref[32], ratio[32];
        std::sscanf(row.c_str(), "%63[^|]| %31[^|]| %31[^|]| %31s", name, ours, ref, ratio);
        std::printf("%-26s | %-9s | %-9s | %s\n", name, ours, ref, ratio);
    }
    RemoveTree(batchClips);
    RemoveTree(addClips);
    DeleteSettings();
    return 0;
}
