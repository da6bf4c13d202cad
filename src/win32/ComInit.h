#pragma once
// COM for the calling thread, apartment-threaded as the window thread needs,
// for as long as the object lives.

#include <windows.h>

namespace hb::win32 {

class ComInit {
public:
    ComInit();
    ~ComInit();
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    // False when COM could not be started on this thread.
    bool ok() const { return SUCCEEDED(result_); }
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

}  // namespace hb::win32
