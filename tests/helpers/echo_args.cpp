// Test child: writes its command line and working folder to the file named by ECHO_OUT,
// then sleeps for ECHO_SLEEP_MS milliseconds (none by default) and exits with ECHO_EXIT.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    char out[MAX_PATH] = {};
    if (GetEnvironmentVariableA("ECHO_OUT", out, MAX_PATH)) {
        if (FILE* f = std::fopen(out, "wb")) {
            char folder[MAX_PATH] = {};
            GetCurrentDirectoryA(MAX_PATH, folder);
            std::fprintf(f, "%s\n%s\n", GetCommandLineA(), folder);
            std::fclose(f);
        }
    }
    char value[32] = {};
    if (GetEnvironmentVariableA("ECHO_SLEEP_MS", value, sizeof value)) Sleep(std::atoi(value));
    if (GetEnvironmentVariableA("ECHO_EXIT", value, sizeof value)) return std::atoi(value);
    return 0;
}
