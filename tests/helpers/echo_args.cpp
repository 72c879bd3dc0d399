// Test child: writes its command line and working folder to the file named by ECHO_OUT,
// then sleeps for ECHO_SLEEP_MS milliseconds (none by default) and exits with ECHO_EXIT.
// As a stand-in for the media tool it also prints ECHO_PRINT on its standard output (asked
// about a group of files, "path|ECHO_PRINT" for each but ECHO_SILENT_FOR), sleeps
// ECHO_SLOW_MS instead when its command line holds ECHO_SLOW_FOR, and appends
// "start <command line>" and "end <command line>" to the file named by ECHO_LOG.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Env(const char* name)
{
    char value[1024] = {};
    return GetEnvironmentVariableA(name, value, sizeof value) ? value : "";
}

void AppendToLog(const std::string& line)
{
    std::string log = Env("ECHO_LOG");
    if (log.empty()) return;
    // Several copies may append at once, and an append is not one step under Wine (it seeks to
    // the end, then writes): a named mutex makes each line whole and none lost.
    HANDLE turn = CreateMutexA(nullptr, FALSE, "Local\\MervaneTestEchoLog");
    WaitForSingleObject(turn, INFINITE);
    HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              0, nullptr);
    DWORD written = 0;
    std::string text = line + "\n";
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    ReleaseMutex(turn);
    CloseHandle(turn);
}

}  // namespace

int main()
{
    const std::string commandLine = GetCommandLineA();
    AppendToLog("start " + commandLine);
    std::string out = Env("ECHO_OUT");
    if (!out.empty()) {
        if (FILE* f = std::fopen(out.c_str(), "wb")) {
            char folder[MAX_PATH] = {};
            GetCurrentDirectoryA(MAX_PATH, folder);
            std::fprintf(f, "%s\n%s\n", commandLine.c_str(), folder);
            std::fclose(f);
        }
    }
    std::string sleep = Env("ECHO_SLEEP_MS");
    std::string slowFor = Env("ECHO_SLOW_FOR");
    if (!slowFor.empty() && commandLine.find(slowFor) != std::string::npos) sleep = Env("ECHO_SLOW_MS");
    if (!sleep.empty()) Sleep(std::atoi(sleep.c_str()));
    std::string print = Env("ECHO_PRINT");
    if (!print.empty() && commandLine.find("%CompleteName%") != std::string::npos) {
        // The quoted arguments after the one that asks for the names are the group's files.
        const std::string silent = Env("ECHO_SILENT_FOR");
        bool files = false;
        for (std::size_t open = commandLine.find('"'); open != std::string::npos;) {
            const std::size_t close = commandLine.find('"', open + 1);
            if (close == std::string::npos) break;
            const std::string quoted = commandLine.substr(open + 1, close - open - 1);
            if (files && quoted != silent) std::printf("%s|%s\n", quoted.c_str(), print.c_str());
            files = files || quoted.find("%CompleteName%") != std::string::npos;
            open = commandLine.find('"', close + 1);
        }
    } else if (!print.empty()) {
        std::printf("%s\n", print.c_str());
    }
    AppendToLog("end " + commandLine);
    std::string exitCode = Env("ECHO_EXIT");
    return exitCode.empty() ? 0 : std::atoi(exitCode.c_str());
}
