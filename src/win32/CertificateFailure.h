#pragma once
// What the user reads when a secure connection fails: which problem the
// website's certificate has, in the terms of WinHTTP's
// WINHTTP_CALLBACK_STATUS_FLAG_* bits (Windows reports them through a status
// callback; Wine reports only that the secure channel failed, so the
// transport then examines the certificate itself, see
// ServerCertificateCheck.h).

#include <windows.h>

#include <string>

namespace hb::win32 {

// Whether a WinHTTP error code is a failure of the secure connection.
bool IsSecureFailure(DWORD error);

// The certificate problems a WinHTTP error code names by itself (the
// specific ERROR_WINHTTP_SECURE_* codes); 0 for the general ones.
DWORD CertificateProblemsOf(DWORD error);

// The failure's description: each problem of the certificate the server
// presented for host, or, without any, that the secure connection could not
// be made. Always says that nothing was sent.
std::wstring SecureFailureText(DWORD problems, const std::wstring& host);

}  // namespace hb::win32
