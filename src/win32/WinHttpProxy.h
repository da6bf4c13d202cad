#pragma once
// The proxy WinHTTP requests go through: Windows' own settings, never the
// program's. On Windows 8.1 and later WinHTTP finds it itself (automatic
// proxy: the user's Internet Options, auto-detection and configuration
// scripts, cached by the system). Where a session cannot be opened that way,
// the user's Internet Options are read for each request instead, with their
// configuration script or auto-detection when they name one.

#include <windows.h>
#include <winhttp.h>

#include <string>

#include "win32/Handles.h"

namespace hb::win32 {

using UniqueInternet = UniqueHandle<NullIsNone<HINTERNET, ::WinHttpCloseHandle>>;

struct ProxySession {
    UniqueInternet handle;
    // Whether each request must be given the user's proxy by the program.
    bool proxyPerRequest = false;
};

// A session for this user agent with the system's proxy handling.
ProxySession OpenProxySession(const wchar_t* userAgent);

// Sets the user's Internet Options proxy for url on the request (nothing
// when they name none, or their script finds none for url). Runs on the
// request's worker thread: a configuration script may take a while.
void ApplyUserProxy(HINTERNET session, HINTERNET request, const std::wstring& url);

}  // namespace hb::win32
