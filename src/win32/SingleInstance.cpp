#include "win32/SingleInstance.h"

namespace hb::win32 {

bool AnotherInstanceHolds(HANDLE createdMutex, DWORD lastError) {
    if (createdMutex != nullptr) return lastError == ERROR_ALREADY_EXISTS;
    // The mutex exists but may not be opened: a copy running elevated made
    // it, and its default security grants a normal start no access.
    return lastError == ERROR_ACCESS_DENIED;
}

SingleInstance::SingleInstance(const wchar_t* mutexName) {
    mutex_.reset(::CreateMutexW(nullptr, FALSE, mutexName));
    anotherIsRunning_ = AnotherInstanceHolds(mutex_.get(), ::GetLastError());
}

}  // namespace hb::win32
