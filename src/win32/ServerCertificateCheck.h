#pragma once
// Why a server's certificate is refused, found out on our own: a TLS
// handshake with the server (Schannel, nothing but the handshake is sent)
// whose certificate is then checked the way WinHTTP checks it, against the
// system's trust store and the host name. Wine's WinHTTP reports every
// refused certificate only as a failed secure channel, so the transport
// asks this after such a failure to tell the user what is wrong.

#include <windows.h>
#include <winhttp.h>

#include <string>

namespace hb::win32 {

// The problems of the certificate the server at host:port presents, as
// WINHTTP_CALLBACK_STATUS_FLAG_* bits; 0 when it has none or when the
// server could not be asked (no connection, no handshake). Every step is
// bounded by timeoutMs.
DWORD ExamineServerCertificate(const std::wstring& host, INTERNET_PORT port, DWORD timeoutMs);

}  // namespace hb::win32
