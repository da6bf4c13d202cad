#pragma once
// The "HoardbookUploader" value of the Run keys that starts the program at logon.

#include <string>

namespace hb {

inline constexpr const wchar_t* kRunKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kRunValueName = L"HoardbookUploader";

// The quoted path of "HoardbookUploader.exe" in the given folder (no
// trailing backslash), whatever the running file is called.
std::wstring RunValueData(const std::wstring& executableFolder);

}  // namespace hb
