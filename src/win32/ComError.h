#pragma once
// Readable descriptions of COM and internet failures.

#include <windows.h>
#include <unknwn.h>

#include <string>

namespace hb::win32 {

// The object's own error description when it offers one for this
// interface, otherwise the system's text for the code.
std::wstring ComErrorDescription(HRESULT result, IUnknown* object, REFIID interfaceId);

// The system's text for an HRESULT or a WinINet error code; a hexadecimal
// code when no module knows it.
std::wstring SystemErrorDescription(DWORD code);

}  // namespace hb::win32
