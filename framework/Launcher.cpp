// Starting other programs as child processes.
#include "framework/Launcher.h"

#include <algorithm>
#include <vector>

#include "framework/LaunchLogic.h"
#include "framework/Files.h"
#include "framework/LoadedFunction.h"
#include "framework/text.h"

namespace fw {

namespace {

std::string WorkingFolderFor(const std::string& program)
{
    std::string folder = FolderPart(program, fw::IsLeadByte);
    if (folder.empty()) folder = FolderPart(SearchProgramPath(program, ""), fw::IsLeadByte);
    return folder;
}

// The job every tool we start runs in: when our last handle to it closes (a normal end, a
// crash, an end from the Task Manager) the system ends them all, so none is orphaned.
HANDLE ChildJob()
{
    static const fw::unique_handle job = [] {
        fw::unique_handle made(CreateJobObjectA(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (made) SetInformationJobObject(made.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
        return made;
    }();
    return job.get();
}

struct Started {
    fw::unique_handle process;
    fw::unique_handle thread;
};

// Starts the program hidden, without a console, with the standard handles of `startup`
// (which it inherits).
Started Launch(const std::string& program, const std::string& params, STARTUPINFOA& startup, DWORD priorityClass,
               bool paused)
{
    // The whole command line goes to the system: a cut line would name a wrong file.
    std::string line = BuildCommandLine(program, params);
    std::vector<char> buffer(std::max<std::size_t>(513, line.size() + 1), '\0');
    line.copy(buffer.data(), line.size());

    startup.cb = sizeof startup;
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    // A path with a blank goes as the application name too, so that the system never
    // tries its first word as a program.
    const char* application = program.find(' ') != std::string::npos ? program.c_str() : nullptr;
    std::string folder = WorkingFolderFor(program);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(application, buffer.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED | priorityClass,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return {};
    // Into the job before it runs a single instruction. Where the system refuses (a job of
    // our own that allows no other), the tool runs outside it: a crash of ours may leave it.
    if (HANDLE job = ChildJob()) AssignProcessToJobObject(job, info.hProcess);
    fw::unique_handle process(info.hProcess), thread(info.hThread);
    // Paused as a whole before its thread is let go: it starts only when the process is
    // resumed, as every other paused one is.
    if (paused) fw::SuspendProcess(process.get(), true);
    if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        // A tool that never runs is ended, never left suspended; its start failed.
        const DWORD error = GetLastError();
        TerminateProcess(process.get(), 1);
        SetLastError(error);
        return {};
    }
    // Said once more to the running process: Wine keeps only this one.
    if (priorityClass != NORMAL_PRIORITY_CLASS) SetPriorityClass(info.hProcess, priorityClass);
    return {std::move(process), std::move(thread)};
}

// A handle the next child inherits; every other handle of ours stays private, so that a
// child never holds another child's files open.
class InheritedFor {
public:
    explicit InheritedFor(HANDLE handle) : handle_(handle) { SetHandleInformation(handle_, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT); }
    ~InheritedFor() { SetHandleInformation(handle_, HANDLE_FLAG_INHERIT, 0); }
    InheritedFor(const InheritedFor&) = delete;
    InheritedFor& operator=(const InheritedFor&) = delete;

private:
    HANDLE handle_;
};

fw::unique_handle OpenForChild(const char* path, DWORD access, DWORD disposition)
{
    return fw::unique_handle(CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

fw::unique_handle StartWithoutConsole(const std::string& program, const std::string& params, const OutputFiles& files,
                                      StartError& error, DWORD priorityClass, bool paused)
{
    error = {};
    fw::unique_handle output = OpenForChild(files.output.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    if (!output) {
        error = {GetLastError(), true};
        return {};
    }
    fw::unique_handle nothing = OpenForChild("NUL", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    fw::unique_handle input = files.input.empty() ? fw::unique_handle() : OpenForChild(files.input.c_str(), GENERIC_READ, OPEN_EXISTING);
    fw::unique_handle errors = files.errors.empty() ? fw::unique_handle() : OpenForChild(files.errors.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    if (!nothing || (!files.input.empty() && !input) || (!files.errors.empty() && !errors)) {
        error = {GetLastError(), !files.errors.empty() && !errors};
        return {};
    }
    STARTUPINFOA startup{};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input ? input.get() : nothing.get();
    startup.hStdOutput = output.get();
    startup.hStdError = errors ? errors.get() : files.errorsToo ? output.get() : nothing.get();
    InheritedFor inheritOutput(output.get());
    InheritedFor inheritNothing(nothing.get());
    InheritedFor inheritInput(input ? input.get() : nothing.get());
    InheritedFor inheritErrors(errors ? errors.get() : nothing.get());
    Started started = Launch(program, params, startup, priorityClass, paused);
    if (!started.process) error = {GetLastError() ? GetLastError() : ERROR_GEN_FAILURE, false};
    return std::move(started.process);
}

bool WaitAnswering(HANDLE handle, DWORD timeoutMs)
{
    constexpr DWORD kSliceMs = 100;
    const DWORD start = GetTickCount();
    while (true) {
        DWORD slice = kSliceMs;
        if (timeoutMs != INFINITE) {
            const DWORD spent = GetTickCount() - start;
            // A budget used up elsewhere still lets a process that has ended count as ended.
            if (spent >= timeoutMs) return WaitForSingleObject(handle, 0) != WAIT_TIMEOUT;
            slice = std::min(slice, timeoutMs - spent);
        }
        const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, slice, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) return true;
        AnswerWhileBusy();
    }
}

void AnswerWhileBusy()
{
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the look, which also handles sent messages
    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
}

bool SuspendProcess(HANDLE process, bool suspend)
{
    using NtCall = LONG NTAPI(HANDLE);
    const auto call = LoadedFunction<NtCall>("ntdll.dll", suspend ? "NtSuspendProcess" : "NtResumeProcess");
    return call && call(process) >= 0;
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
        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        found = WithFinalBackslash(fw::Narrow(current)) + fileName;
    }
    return found;
}

}  // namespace fw
