// Starting other programs as child processes.
#include "convert/Launcher.h"

#include <vector>

#include "convert/ConvertLogic.h"
#include "framework/Files.h"
#include "framework/text.h"

namespace convert {

namespace {

std::string WorkingFolderFor(const std::string& program)
{
    std::string folder = FolderPart(program, fw::IsLeadByte);
    if (folder.empty()) folder = FolderPart(SearchProgramPath(program, ""), fw::IsLeadByte);
    return folder;
}

struct Started {
    fw::unique_handle process;
    fw::unique_handle thread;
};

Started Launch(const std::string& program, const std::string& params, WORD show, DWORD extraFlags)
{
    // The whole command line goes to the system: a cut line would name a wrong file.
    std::string line = BuildCommandLine(program, params);
    std::vector<char> buffer(std::max<std::size_t>(513, line.size() + 1), '\0');
    line.copy(buffer.data(), line.size());

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    std::string folder = WorkingFolderFor(program);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS | extraFlags, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return {};
    return {fw::unique_handle(info.hProcess), fw::unique_handle(info.hThread)};
}

}  // namespace

fw::unique_handle StartProcess(const std::string& program, const std::string& params, WORD show)
{
    return Launch(program, params, show, 0).process;
}

bool ShellExec(const std::string& program, const std::string& params, WORD show)
{
    return static_cast<bool>(StartProcess(program, params, show));
}

WaitOutcome RunAndWait(const std::string& program, const std::string& params, WORD show, DWORD timeoutMs)
{
    // The job holds the batch's command interpreter and the tool it starts, so that a
    // tool that never ends can be stopped with it.
    fw::unique_handle job(CreateJobObjectA(nullptr, nullptr));
    Started started = Launch(program, params, show, CREATE_SUSPENDED);
    if (!started.process) return WaitOutcome::NotStarted;
    if (job) AssignProcessToJobObject(job.get(), started.process.get());
    ResumeThread(started.thread.get());
    if (WaitForProcess(started.process.get(), timeoutMs)) return WaitOutcome::Ended;
    if (job) TerminateJobObject(job.get(), 1);
    TerminateProcess(started.process.get(), 1);
    WaitForSingleObject(started.process.get(), 5000);
    return WaitOutcome::TimedOut;
}

bool ShellExecWait(const std::string& program, const std::string& params, WORD show)
{
    return RunAndWait(program, params, show, INFINITE) != WaitOutcome::NotStarted;
}

bool WaitForProcess(HANDLE process, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (true) {
        DWORD remaining = INFINITE;
        if (timeoutMs != INFINITE) {
            DWORD spent = GetTickCount() - start;
            if (spent >= timeoutMs) return false;
            remaining = timeoutMs - spent;
        }
        DWORD woke = MsgWaitForMultipleObjects(1, &process, FALSE, remaining, QS_PAINT | QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) return true;
        if (woke == WAIT_TIMEOUT) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

std::string SearchProgramPath(const std::string& fileName, const std::string& extraFolder)
{
    std::string folders;
    if (DWORD n = GetEnvironmentVariableA("Path", nullptr, 0); n > 0) {
        folders.resize(n);
        folders.resize(GetEnvironmentVariableA("Path", folders.data(), n));
    }
    if (!extraFolder.empty() && fw::DirectoryExists(extraFolder)) {
        std::string extra = extraFolder;
        if (extra.back() == '\\') extra.pop_back();
        folders = extra + ";" + folders;
    }

    std::string found;
    if (fw::FileExists(fileName)) {
        found = fileName;
    } else {
        std::size_t i = 0;
        while (found.empty() && i < folders.size()) {
            std::string entry;
            while (i < folders.size() && folders[i] != ';') {
                if (fw::IsLeadByte(static_cast<unsigned char>(folders[i])) && i + 1 < folders.size()) entry += folders[i++];
                entry += folders[i++];
            }
            ++i;
            if (entry.empty()) continue;
            char last = entry.back();
            std::string candidate = entry + (last == '\\' || last == ':' ? "" : "\\") + fileName;
            if (fw::FileExists(candidate)) found = candidate;
        }
    }
    if (!found.empty() && fw::SameTextAscii(found, fileName)) {
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, current);
        std::string folder = current;
        if (folder.empty() || folder.back() != '\\') folder += '\\';
        found = folder + fileName;
    }
    return found;
}

}  // namespace convert
