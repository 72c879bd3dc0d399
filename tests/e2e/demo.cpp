// The guided demo of ./run on a machine without a display.
#include <cstdio>
#include <cstring>

#include "driver.h"
#include "../integration/support.h"

using namespace testing_support;

int RunDemo()
{
    const std::string clips = FreshFolder("demo-clips");
    // The window converts into a folder of the prefix, which the folder picker always
    // reaches (it hides dot folders, where a clone may lie); the files are then copied to
    // where ./run asks.
    const std::string converted = FreshFolder("demo-output");
    char wanted[MAX_PATH] = {};
    const std::string out = GetEnvironmentVariableA("MERVANE_DEMO_OUT", wanted, MAX_PATH) ? std::string(wanted) + "\\"
                                                                                       : converted;
    CreateDirectoryA(out.c_str(), nullptr);
    std::printf("Making three clips with the embedded encoder...\n");
    const char* names[] = {"beach.mp4", "city walk.mp4", "birthday.mp4"};
    const int seconds[] = {20, 30, 25};
    for (int i = 0; i < 3; ++i) MakeClip(clips + names[i], seconds[i], "640x360");  // long enough to watch

    std::printf("Starting Mervane...\n");
    e2e::Driver app;
    if (!app.Window()) return 1;
    app.Shot("demo-1-started");

    app.Click(435, 165);  // "Browse": the output folder
    if (HWND browser = app.WaitForDialog()) app.ChooseFolder(browser, converted.substr(0, converted.size() - 1));
    app.Click(435, 127);  // "Add Folder": the three clips
    if (HWND browser = app.WaitForDialog()) app.ChooseFolder(browser, clips.substr(0, clips.size() - 1));
    e2e::WaitFor([&] { return app.Rows().size() == 3; }, 60000);
    app.Shot("demo-2-queued");

    std::printf("Converting...\n");
    app.Click(456, 404);
    bool shot = false;
    e2e::WaitFor(
        [&] {
            bool busy = false;
            for (const e2e::Row& row : app.Rows()) {
                busy |= row.progress != "Done" && row.progress != "Failed";
                if (!shot && row.progress.find("% Done") != std::string::npos) {
                    app.Shot("demo-3-converting");
                    shot = true;
                }
            }
            return !busy;
        },
        600000);
    app.Shot("demo-4-done");
    int done = 0;
    for (const e2e::Row& row : app.Rows()) {
        std::printf("  %-14s %s %s\n", row.name.c_str(), row.progress.c_str(), row.converted.c_str());
        done += row.progress == "Done";
    }
    app.Click(475, 24);  // the close button
    const int exitCode = app.Program().WaitForExit(20000);

    // Every file said to be converted is where the demo says it is.
    std::string missing;
    for (const char* name : names) {
        const std::string mpg = std::string(name, std::strlen(name) - 4) + ".mpg";
        if (out != converted) CopyFileA((converted + mpg).c_str(), (out + mpg).c_str(), FALSE);
        if (!FileExists(out + mpg)) missing += " \"" + mpg + "\"";
    }
    if (out != converted) RemoveTree(converted);
    RemoveTree(clips);
    if (!missing.empty()) std::printf("Missing from %s:%s\n", out.c_str(), missing.c_str());
    std::printf("Converted files: %s\nScreenshots: %s\n", out.c_str(), testing_support::ShotFolder().c_str());
    return done == 3 && exitCode == 0 && missing.empty() ? 0 : 1;
}
