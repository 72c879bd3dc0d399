// Test encoder: takes the program's encoder command line and follows a script read from the
// input file instead of encoding. Each line of the script is one step:
//   write N    append N bytes to the output (created on the first write)
//   touch      create the output empty
//   sleep MS   wait
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
    char step[256];
    while (std::fgets(step, sizeof step, script)) {
        char verb[32] = {};
        long n = 0;
        std::sscanf(step, "%31s %ld", verb, &n);
        if (!std::strcmp(verb, "write") || !std::strcmp(verb, "touch")) {
            FILE* out = std::fopen(output.c_str(), "ab");
            if (!out) return 4;
            std::vector<char> bytes(static_cast<std::size_t>(n), 'x');
            if (n > 0) std::fwrite(bytes.data(), 1, bytes.size(), out);
            std::fclose(out);
        } else if (!std::strcmp(verb, "sleep")) {
            Sleep(static_cast<DWORD>(n));
        } else if (!std::strcmp(verb, "exit")) {
            std::fclose(script);
            return static_cast<int>(n);
        }
    }
    std::fclose(script);
    return 0;
}
