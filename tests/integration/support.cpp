// What the platform tests share.
#include "support.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <stdexcept>

#include "framework/Launcher.h"
#include "framework/Application.h"

namespace testing_support {

bool PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (static_cast<int>(GetTickCount() - start) > timeoutMs) return false;
        fw::Application->ProcessMessages();  // the program's own pump: it sees its encoders end
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void PumpFor(int ms)
{
    PumpUntil([] { return false; }, ms);
}

std::string ExeFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string PayloadFolder()
{
    char full[MAX_PATH] = {};
    GetFullPathNameA((ExeFolder() + "..\\..\\payloads\\").c_str(), MAX_PATH, full, nullptr);
    return full;
}

std::string FreshFolder(const std::string& tag)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    std::string folder = std::string(temp) + "mervane-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(++counter) + "\\";
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void RemoveTree(const std::string& folder)
{
    std::string from = folder;
    if (!from.empty() && from.back() == '\\') from.pop_back();
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
    // A program that just ended lets go of its files a moment later: its folder goes then.
    for (int tries = 0; tries < 20 && GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES; ++tries) {
        Sleep(50);
        SHFileOperationA(&op);
    }
}

std::string ReadFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot read " + path);
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool FileExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD Attributes(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
}

void DeleteSettings()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Talvik");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Talvik");
}

bool ReadSetting(const char* name, std::string& value)
{
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Talvik", name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return false;
    value = buffer;
    return true;
}

void WriteSetting(const char* name, const std::string& value)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Talvik", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

int RunAndWaitExit(const std::string& commandLine, const std::string& folder, int timeoutMs)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
    else TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return static_cast<int>(code);
}

fw::unique_handle StartHidden(const std::string& program, const std::string& params)
{
    fw::StartError error;
    return fw::StartWithoutConsole(program, params, {"NUL"}, error);
}

std::string RunAndCapture(const std::string& commandLine, int timeoutMs)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                  &startup, &info);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
        if (WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    CloseHandle(readEnd);
    return output;
}

HWND MakeTestWindow(const char* className, WNDPROC proc, DWORD style)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, "", style, 0, 0, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
}

void MakeClip(const std::string& path, int seconds, const std::string& size, int grain)
{
    std::string line = "\"";
    line += PayloadFolder();
    line += "ffmpeg.exe\" -v error -y -f lavfi -i ";
    // Grain makes a picture as hard to compress as real footage, whose size follows its rate.
    line += grain ? "testsrc2=size=" + size + ":rate=25,noise=alls=" + std::to_string(grain) + ":allf=t " : "testsrc=size=" + size + ":rate=25 ";
    line += "-f lavfi -i sine=frequency=440:sample_rate=44100 -t ";
    line += std::to_string(seconds);
    line += " -pix_fmt yuv420p \"";
    line += path;
    line += "\"";
    if (RunAndWaitExit(line) != 0 || !FileExists(path)) throw std::runtime_error("cannot make clip " + path);
}

void MakeLongClip(const std::string& path)
{
    const std::string minute = path + ".minute.mp4";
    MakeClip(minute, 60);
    const std::string line = "\"" + PayloadFolder() + "ffmpeg.exe\" -v error -y -stream_loop 19 -i \"" + minute +
                             "\" -c copy \"" + path + "\"";
    const int exitCode = RunAndWaitExit(line);
    DeleteFileA(minute.c_str());
    if (exitCode != 0 || !FileExists(path)) throw std::runtime_error("cannot make clip " + path);
}

DialogWatcher::DialogWatcher(std::function<bool(HWND)> respond)
    : respond_(std::move(respond)), thread_([this] { Loop(); })
{
}

DialogWatcher::~DialogWatcher()
{
    stop_ = true;
    thread_.join();
}

std::vector<DialogWatcher::Seen> DialogWatcher::Seen_() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

int DialogWatcher::Count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(seen_.size());
}

namespace {

struct Found {
    DWORD process;
    HWND dialog = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param)
{
    auto* found = reinterpret_cast<Found*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (process == found->process && std::string(className) == "#32770" && IsWindowVisible(window)) {
        found->dialog = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM param)
{
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (std::string(className) == "Static") {
        char text[1024] = {};
        SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        if (text[0]) *reinterpret_cast<std::string*>(param) += text;
    }
    return TRUE;
}

}  // namespace

HWND FindDialogOf(DWORD processId)
{
    Found found{processId};
    EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&found));
    return found.dialog;
}

std::string DialogText(HWND dialog)
{
    std::string text;
    EnumChildWindows(dialog, &CollectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

int RunningProcesses(const char* exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int running = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (_stricmp(entry.szExeFile, exeName) == 0) ++running;
    CloseHandle(snapshot);
    return running;
}

void DialogWatcher::Loop()
{
    while (!stop_) {
        if (HWND dialog = FindDialogOf(GetCurrentProcessId())) {
            Sleep(200);  // let it finish drawing
            Seen entry;
            char title[256] = {};
            GetWindowTextA(dialog, title, sizeof title);
            entry.title = title;
            entry.text = DialogText(dialog);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back(entry);
            }
            bool handled = respond_ && respond_(dialog);
            if (!handled) PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 100 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) Sleep(20);
        }
        Sleep(50);
    }
}

std::string ShotFolder()
{
    char configured[MAX_PATH] = {};
    std::string folder = GetEnvironmentVariableA("MERVANE_SHOTS", configured, MAX_PATH) ? configured
                                                                                       : ExeFolder() + "shots";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

void SaveScreenshot(const std::string& name)
{
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = ((width * 3 + 3) / 4) * 4, imageBytes = rowBytes * height;
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageBytes),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    info.bmiHeader.biSizeImage = imageBytes;
    if (FILE* f = std::fopen((ShotFolder() + name + ".bmp").c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
        std::fwrite(bits, 1, imageBytes, f);
        std::fclose(f);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

}  // namespace testing_support
