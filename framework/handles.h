// RAII owners for Win32 handles: one move-only template and one alias per kind of handle.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <type_traits>
#include <utility>

namespace fw {

template <typename T, auto Close>
class unique_any {
public:
    unique_any() = default;
    explicit unique_any(T handle) : handle_(handle) {}
    ~unique_any() { reset(); }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : handle_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return handle_; }
    explicit operator bool() const { return IsValid(handle_); }
    T release() { return std::exchange(handle_, T{}); }
    void reset(T handle = T{})
    {
        if (IsValid(handle_)) Close(handle_);
        handle_ = handle;
    }
    T* put()
    {
        reset();
        return &handle_;
    }

private:
    static bool IsValid(T handle)
    {
        if constexpr (std::is_pointer_v<T>)
            return handle != nullptr && handle != reinterpret_cast<T>(INVALID_HANDLE_VALUE);
        else
            return handle != T{};
    }
    T handle_{};
};

using unique_handle = unique_any<HANDLE, CloseHandle>;  // files, processes, events, snapshots
using unique_hfind = unique_any<HANDLE, FindClose>;
using unique_hkey = unique_any<HKEY, RegCloseKey>;
using unique_hrgn = unique_any<HRGN, DeleteObject>;
using unique_hbitmap = unique_any<HBITMAP, DeleteObject>;
using unique_hfont = unique_any<HFONT, DeleteObject>;
using unique_hbrush = unique_any<HBRUSH, DeleteObject>;
using unique_hdc = unique_any<HDC, DeleteDC>;          // memory device contexts
using unique_pidl = unique_any<LPITEMIDLIST, ILFree>;  // the shell's own release: no OLE at start
using unique_hmenu = unique_any<HMENU, DestroyMenu>;  // its submenus go with it
using unique_hicon = unique_any<HICON, DestroyIcon>;

// Hands a region to a window. The system owns it only when the call succeeds; otherwise
// it is deleted here.
inline bool SetWindowRegion(HWND window, unique_hrgn region, bool redraw = true)
{
    if (!SetWindowRgn(window, region.get(), redraw)) return false;
    region.release();
    return true;
}

// Runs a callable when the scope ends, for the few steps no handle type covers.
template <typename Fn>
class scope_exit {
public:
    explicit scope_exit(Fn fn) : fn_(std::move(fn)) {}
    ~scope_exit() { fn_(); }
    scope_exit(const scope_exit&) = delete;
    scope_exit& operator=(const scope_exit&) = delete;

private:
    Fn fn_;
};

}  // namespace fw
