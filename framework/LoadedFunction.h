// A function of a system library that the window does not need to show, loaded at its first
// use instead of with the program.
#pragma once
#include <windows.h>

namespace fw {

// The function, or none when the library or the function is not there. The library is
// taken from the system folder only, never from the program's folder or the current one,
// where a file of the same name may have been planted. It stays loaded for the rest of the run.
template <typename Fn>
Fn* LoadedFunction(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    if (!module) module = LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER) {
        // Windows 7 without its loader update knows no search flags: the full path instead.
        char path[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryA(path, MAX_PATH);
        if (length > 0 && length + 1 + lstrlenA(library) < MAX_PATH) {
            lstrcatA(path, "\\");
            lstrcatA(path, library);
            module = LoadLibraryA(path);
        }
    }
    return module ? reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace fw
