// A function of a system library that the window does not need to show, loaded at its first
// use instead of with the program.
#pragma once
#include <windows.h>
#include <ole2.h>

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

// OLE, started on this thread at its first need (a second start only counts); false when
// it could not be started.
inline bool StartOle()
{
    const auto oleInitialize = LoadedFunction<decltype(OleInitialize)>("ole32.dll", "OleInitialize");
    return oleInitialize && SUCCEEDED(oleInitialize(nullptr));
}

// A COM object of the system's, OLE started first; none when it cannot be made.
template <typename Interface>
Interface* CreateSystemObject(const CLSID& cls, const IID& iid)
{
    const auto coCreateInstance = LoadedFunction<decltype(CoCreateInstance)>("ole32.dll", "CoCreateInstance");
    if (!coCreateInstance) return nullptr;
    StartOle();  // a thread whose COM was started otherwise still makes the object
    void* made = nullptr;
    if (FAILED(coCreateInstance(cls, nullptr, CLSCTX_INPROC_SERVER, iid, &made))) return nullptr;
    return static_cast<Interface*>(made);
}

}  // namespace fw
