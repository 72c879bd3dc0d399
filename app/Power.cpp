// Sleep and shutdown after a batch, through the system's own switch.
#include <windows.h>
#include <powrprof.h>

#include "app/Session.h"
#include "framework/Files.h"
#include "framework/handles.h"

namespace app {

std::string SystemPowerDown(AfterBatch what)
{
    // Both need the shutdown privilege, which this process has to ask for.
    fw::unique_handle token;
    TOKEN_PRIVILEGES privileges{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()) ||
        !LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) ||
        !AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) || GetLastError() != ERROR_SUCCESS)
        return fw::SystemErrorText(GetLastError() ? GetLastError() : ERROR_PRIVILEGE_NOT_HELD);
    const bool done = what == AfterBatch::Sleep
                          ? SetSuspendState(FALSE, FALSE, FALSE) != FALSE
                          : ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED) != FALSE;
    return done ? std::string() : fw::SystemErrorText(GetLastError());
}

}  // namespace app
