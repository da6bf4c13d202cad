#pragma once
// RAII for the Win32 handle kinds the program uses: one alias per kind,
// each closing its handle with the function that kind requires.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace hb::win32 {

template <typename Handle, auto Close>
struct HandleCloser {
    using pointer = Handle;
    void operator()(Handle handle) const noexcept {
        if (handle != nullptr) Close(handle);
    }
};

template <typename Handle, auto Close>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, HandleCloser<Handle, Close>>;

using UniqueKey = UniqueHandle<HKEY, ::RegCloseKey>;
using UniqueWindow = UniqueHandle<HWND, ::DestroyWindow>;
using UniqueIcon = UniqueHandle<HICON, ::DestroyIcon>;
using UniqueFont = UniqueHandle<HFONT, ::DeleteObject>;
using UniqueBrush = UniqueHandle<HBRUSH, ::DeleteObject>;
using UniqueFindHandle = UniqueHandle<HANDLE, ::FindClose>;
// FindFirstChangeNotificationW gives INVALID_HANDLE_VALUE on failure: store nullptr then.
using UniqueChangeNotification = UniqueHandle<HANDLE, ::FindCloseChangeNotification>;

// Files and other kernel objects use INVALID_HANDLE_VALUE for "none".
class UniqueFile {
public:
    UniqueFile() = default;
    explicit UniqueFile(HANDLE handle) : handle_(handle) {}
    ~UniqueFile() { reset(); }
    UniqueFile(UniqueFile&& other) noexcept : handle_(other.release()) {}
    UniqueFile& operator=(UniqueFile&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = other.release();
        }
        return *this;
    }
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE release() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    void reset() {
        if (*this) ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace hb::win32
