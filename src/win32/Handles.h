#pragma once
// RAII for the Win32 handle kinds the program uses: one owner class, and
// per kind a traits type saying what "no handle" is for that kind and how
// a handle of it is closed. Most kinds use nullptr for "no handle"; files
// and find handles use INVALID_HANDLE_VALUE, so testing or closing them as
// if nullptr meant "none" would be wrong.

#include <windows.h>

#include <utility>

namespace hb::win32 {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::invalid(); }
    // Gives the handle up without closing it.
    Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }
    // Closes the handle held, if any, and holds the given one.
    void reset(Handle handle = Traits::invalid()) noexcept {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    Handle handle_ = Traits::invalid();
};

// Kinds whose "no handle" is nullptr.
template <typename H, auto Close>
struct NullIsNone {
    using Handle = H;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle handle) noexcept { Close(handle); }
};

// Kinds whose "no handle" is INVALID_HANDLE_VALUE.
template <auto Close>
struct InvalidValueIsNone {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle handle) noexcept { Close(handle); }
};

using UniqueKey = UniqueHandle<NullIsNone<HKEY, ::RegCloseKey>>;
using UniqueWindow = UniqueHandle<NullIsNone<HWND, ::DestroyWindow>>;
using UniqueIcon = UniqueHandle<NullIsNone<HICON, ::DestroyIcon>>;
using UniqueFont = UniqueHandle<NullIsNone<HFONT, ::DeleteObject>>;
using UniqueBrush = UniqueHandle<NullIsNone<HBRUSH, ::DeleteObject>>;
// Kernel objects such as mutexes (their creation fails with nullptr).
// Memory the system allocated for the caller (WinHTTP's texts, DPAPI's blobs).
using UniqueGlobal = UniqueHandle<NullIsNone<HGLOBAL, ::GlobalFree>>;
using UniqueLocal = UniqueHandle<NullIsNone<HLOCAL, ::LocalFree>>;
using UniqueKernelObject = UniqueHandle<NullIsNone<HANDLE, ::CloseHandle>>;
// CreateFile fails with INVALID_HANDLE_VALUE.
using UniqueFile = UniqueHandle<InvalidValueIsNone<::CloseHandle>>;
// FindFirstFile fails with INVALID_HANDLE_VALUE; FindClose closes.
using UniqueFindHandle = UniqueHandle<InvalidValueIsNone<::FindClose>>;
// FindFirstChangeNotification fails with INVALID_HANDLE_VALUE.
using UniqueChangeNotification = UniqueHandle<InvalidValueIsNone<::FindCloseChangeNotification>>;

}  // namespace hb::win32
