// Test encoder: takes the program's encoder command line and follows a script read from the
// input file instead of encoding. Each line of the script is one step:
//   write N    append N bytes to the output (created anew on the first write, as -y does)
//   touch      create the output empty
//   sleep MS   wait
//   say TEXT   print a line to standard error, as the encoder prints its messages
//   finish     print the encoder's closing summary and end with exit code 0
//   exit C     end with exit code C
// The output is the last double-quoted argument, the input the first.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

int main()
{
    std::string line = GetCommandLineA();
    // The program's own name goes first, quoted when its path has a blank.
    const std::size_t nameEnd = line[0] == '"' ? line.find('"', 1) + 1 : line.find(' ');
    line = nameEnd == std::string::npos ? std::string() : line.substr(nameEnd);
    std::vector<std::string> quoted;
    for (std::size_t i = line.find('"'); i != std::string::npos; i = line.find('"', i)) {
        std::size_t end = line.find('"', i + 1);
        if (end == std::string::npos) break;
        quoted.push_back(line.substr(i + 1, end - i - 1));
        i = end + 1;
    }
    if (quoted.size() < 2) return 2;
    const std::string& input = quoted.front();
    const std::string& output = quoted.back();
    FILE* script = std::fopen(input.c_str(), "rb");
    if (!script) return 3;
    bool created = false;
    char step[256];
    while (std::fgets(step, sizeof step, script)) {
        char verb[32] = {};
        long n = 0;
        std::sscanf(step, "%31s %ld", verb, &n);
        if (!std::strcmp(verb, "write") || !std::strcmp(verb, "touch")) {
            FILE* out = std::fopen(output.c_str(), created ? "ab" : "wb");
            created = true;
            if (!out) return 4;
            std::vector<char> bytes(static_cast<std::size_t>(n), 'x');
            if (n > 0) std::fwrite(bytes.data(), 1, bytes.size(), out);
            std::fclose(out);
        } else if (!std::strcmp(verb, "sleep")) {
            Sleep(static_cast<DWORD>(n));
        } else if (!std::strcmp(verb, "say")) {
            std::fprintf(stderr, "%s", step + 4);
        } else if (!std::strcmp(verb, "finish")) {
            std::fprintf(stderr, "[out#0/mpeg @ 0x1] video:1KiB audio:1KiB subtitle:0KiB other streams:0KiB "
                                 "global headers:0KiB muxing overhead: 1.000000%%\n");
            std::fclose(script);
            return 0;
        } else if (!std::strcmp(verb, "exit")) {
            std::fclose(script);
            return static_cast<int>(n);
        }
    }
    std::fclose(script);
    return 0;
}
