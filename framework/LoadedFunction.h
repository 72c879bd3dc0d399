// A function of a system library that the window does not need to show, loaded at its first
// use instead of with the program.
#pragma once
#include <windows.h>

namespace fw {

// The function, or none when the library or the function is not there. The library stays
// loaded for the rest of the run.
template <typename Fn>
Fn* LoadedFunction(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    if (!module) module = LoadLibraryA(library);
    return module ? reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace fw
