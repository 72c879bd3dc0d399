// Benchmarks of Mervane against references run side by side in the same go; prints ratios.
//   startup   launch to window shown: Mervane.exe against a program that only shows a window
//   batch     ten 12-second clips through the engine against the same encoder command lines run
//             directly, one after another, their output going to a file (no console)
//   adding    a folder of 50 clips through "Add Folder" against 50 direct runs of the media tool
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Main.h"
#include "convert/ConvertLogic.h"
#include "convert/Launcher.h"
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

// Seconds from CreateProcess until a visible window of class TfrmMain belongs to the process.
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
        HWND w = nullptr;
        while ((w = FindWindowExA(nullptr, w, "TfrmMain", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == info.dwProcessId && IsWindowVisible(w)) shown = w;
        }
    }
    double seconds = Seconds(start, Now());
    PostMessageA(shown, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return seconds;
}

void Startup(std::vector<std::string>& rows)
{
    const std::string minimal = "\"" + ExeFolder() + "minimal_window.exe\"";
    const std::string mervane = "\"" + ProgramPath() + "\"";
    TimeToWindow(mervane);  // warm the file cache
    std::vector<double> ours, reference;
    for (int i = 0; i < 5; ++i) {
        reference.push_back(TimeToWindow(minimal));
        ours.push_back(TimeToWindow(mervane));
    }
    char row[160];
    std::snprintf(row, sizeof row, "startup | %.3f s | %.3f s | %.2f", Median(ours), Median(reference),
                  Median(ours) / Median(reference));
    rows.push_back(row);
}

void Batch(std::vector<std::string>& rows, const std::string& clips)
{
    TfrmMain form(nullptr);
    const std::string out = FreshFolder("bench-out");
    form.WorkDir = out.substr(0, out.size() - 1);

    LARGE_INTEGER start = Now();
    for (int i = 0; i < 10; ++i) {
        std::string input = clips + "clip" + std::to_string(i) + ".mp4";
        std::string output = convert::OutputPathFor(input, form.WorkDir, nullptr);
        DWORD error = 0;
        fw::unique_handle encoder = convert::StartWithoutConsole(form.FfmpegPath, convert::FfmpegArgsFor(input, output),
                                                                 {out + "direct.log", true}, error);
        WaitForSingleObject(encoder.get(), INFINITE);
    }
    double direct = Seconds(start, Now());

    for (int i = 0; i < 10; ++i) form.AddQueueRow(clips + "clip" + std::to_string(i) + ".mp4", "13");
    start = Now();
    form.EzRgnBtn3Click(&form);
    PumpUntil([&] { return !form.Converting; }, 600000);
    double engine = Seconds(start, Now());
    for (int i = 0; i < 10; ++i)
        if (form.RowState(i) != "Done") std::printf("row %d ended %s\n", i, form.RowState(i).c_str());

    char row[160];
    std::snprintf(row, sizeof row, "batch of 10 | %.2f s | %.2f s | %.2f", engine, direct, engine / direct);
    rows.push_back(row);
    RemoveTree(out);
}

void Adding(std::vector<std::string>& rows, const std::string& clips)
{
    TfrmMain form(nullptr);
    form.Show();  // as a person sees it: every row drawn as it comes
    TFindFile finder(nullptr);
    finder.Filter = "*.mp4";
    finder.Directory = clips;
    finder.Execute();

    LARGE_INTEGER start = Now();
    for (const std::string& clip : finder.Files)
        RunAndCapture(form.MediainfoPath + " \"--Inform=General;%Duration/String3%\" \"" + clip + "\"");
    double direct = Seconds(start, Now());

    // The folder browser is answered at once with the clips' folder.
    const std::string folder = clips.substr(0, clips.size() - 1);
    DialogWatcher browser([&](HWND dialog) {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    start = Now();
    form.Button2Click(form.Button2);
    double adding = Seconds(start, Now());
    if (form.RowCount() != static_cast<int>(finder.Files.size()))
        std::printf("queued %d of %zu\n", form.RowCount(), finder.Files.size());

    char row[160];
    std::snprintf(row, sizeof row, "adding %zu | %.2f s | %.2f s | %.2f", finder.Files.size(), adding, direct,
                  adding / direct);
    rows.push_back(row);
}

}  // namespace

int main()
{
    fw::Application->Initialize();
    fw::Application->SetTitle("Mervane benchmark");
    DeleteSettings();

    std::printf("making clips...\n");
    std::fflush(stdout);
    const std::string batchClips = FreshFolder("bench-batch");
    MakeClip(batchClips + "clip0.mp4", 12);
    for (int i = 1; i < 10; ++i)
        CopyFileA((batchClips + "clip0.mp4").c_str(), (batchClips + "clip" + std::to_string(i) + ".mp4").c_str(), FALSE);
    const std::string addClips = FreshFolder("bench-add");
    MakeClip(addClips + "clip00.mp4", 2);
    for (int i = 1; i < 50; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "clip%02d.mp4", i);
        CopyFileA((addClips + "clip00.mp4").c_str(), (addClips + name).c_str(), FALSE);
    }

    std::vector<std::string> rows;
    Startup(rows);
    Batch(rows, batchClips);
    Adding(rows, addClips);

    std::printf("\n%-14s | %-9s | %-9s | %s\n", "measure", "Mervane", "reference", "ratio");
    for (const std::string& row : rows) {
        char name[64], ours[32], ref[32], ratio[32];
        std::sscanf(row.c_str(), "%63[^|]| %31[^|]| %31[^|]| %31s", name, ours, ref, ratio);
        std::printf("%-14s | %-9s | %-9s | %s\n", name, ours, ref, ratio);
    }
    RemoveTree(batchClips);
    RemoveTree(addClips);
    DeleteSettings();
    return 0;
}
