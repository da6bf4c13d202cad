#pragma once
// The system's message text for an error code: the program's one use of
// FormatMessage.

#include <windows.h>

#include <string>

namespace hb::win32 {

// The message of the code from the system's table, or from a module's own
// table when module is given; empty when the table has none. Returned as
// the table holds it (often ending in a period and CR LF).
std::wstring FormatMessageText(DWORD code, HMODULE module = nullptr);

}  // namespace hb::win32
