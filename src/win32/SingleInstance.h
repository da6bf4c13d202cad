#pragma once
// One copy of the program per session: two would send every file twice and
// fight over the settings files.

#include <windows.h>

#include "win32/Handles.h"

namespace hb::win32 {

// Whether another copy holds the instance mutex, from what CreateMutexW
// returned and the error it left.
bool AnotherInstanceHolds(HANDLE createdMutex, DWORD lastError);

// Creates (or opens) the named mutex and keeps it for the object's life.
class SingleInstance {
public:
    explicit SingleInstance(const wchar_t* mutexName);
    bool anotherIsRunning() const { return anotherIsRunning_; }

private:
    UniqueKernelObject mutex_;
    bool anotherIsRunning_ = false;
};

}  // namespace hb::win32
