// Sleep and shutdown after a batch, through the system's own switches. The power library is
// loaded at the first need: the window does not need it to show.
#include <windows.h>
#include <powrprof.h>

#include "app/Session.h"
#include "framework/Files.h"
#include "framework/handles.h"
#include "framework/LoadedFunction.h"

namespace app {

namespace {

// Shutting down needs the shutdown privilege, which this process has to ask for: empty, or
// why it was refused.
std::string TakeShutdownPrivilege()
{
    fw::unique_handle token;
    TOKEN_PRIVILEGES privileges{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()) ||
        !LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) ||
        !AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) || GetLastError() != ERROR_SUCCESS)
        return fw::SystemErrorText(GetLastError() ? GetLastError() : ERROR_PRIVILEGE_NOT_HELD);
    return {};
}

std::string Suspend()
{
    if (std::string refused = TakeShutdownPrivilege(); !refused.empty()) return refused;
    const auto setSuspendState = fw::LoadedFunction<decltype(SetSuspendState)>("powrprof.dll", "SetSuspendState");
    if (setSuspendState && setSuspendState(FALSE, FALSE, FALSE)) return {};
    return fw::SystemErrorText(setSuspendState ? GetLastError() : ERROR_PROC_NOT_FOUND);
}

}  // namespace

SleepKind SystemSleepKind()
{
    const auto getCapabilities = fw::LoadedFunction<decltype(GetPwrCapabilities)>("powrprof.dll", "GetPwrCapabilities");
    SYSTEM_POWER_CAPABILITIES capabilities{};
    // A system that cannot tell is taken to sleep the usual way.
    if (!getCapabilities || !getCapabilities(&capabilities)) return SleepKind::Suspend;
    // The third spare byte is AoAc (Modern Standby, S0 low-power idle) in Windows 8's headers on.
    const bool modernStandby = capabilities.spare2[2] != 0;
    if (capabilities.SystemS3) return SleepKind::Suspend;
    return modernStandby ? SleepKind::DisplayOff : SleepKind::None;
}

std::string SystemPowerDown(AfterBatch what)
{
    if (what == AfterBatch::ShutDown) {
        if (std::string refused = TakeShutdownPrivilege(); !refused.empty()) return refused;
        const bool done = ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED);
        return done ? std::string() : fw::SystemErrorText(GetLastError());
    }
    switch (SystemSleepKind()) {
    case SleepKind::Suspend: return Suspend();
    case SleepKind::DisplayOff:
        // With Modern Standby the system goes to sleep of its own once the display is off;
        // asked to suspend, it would hibernate or do nothing.
        PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
        return {};
    case SleepKind::None: break;
    }
    return fw::SystemErrorText(ERROR_NOT_SUPPORTED);
}

}  // namespace app
