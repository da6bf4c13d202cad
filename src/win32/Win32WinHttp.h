#pragma once
// The HTTP port over WinHTTP, used under Wine, where it sits directly on
// sockets: every exchange runs on a worker thread of its own with blocking
// calls bounded by WinHTTP's timeouts, so the window thread only polls and
// is never held by the network. Nothing is cached on disk.

#include <cstddef>
#include <memory>
#include <string>

#include "ports/Http.h"

namespace hb::win32 {

class WinHttpSession;

class WinHttpFactory : public HttpFactory {
public:
    // Connecting, sending and each receive are bounded by operationTimeoutMs;
    // the core's own deadline bounds the whole request.
    explicit WinHttpFactory(int operationTimeoutMs = 60000);
    ~WinHttpFactory() override;

    // Whether WinHTTP could be started; without it every create gives nullptr.
    bool ok() const;
    // Any class name is answered with a WinHTTP request: the core asks for
    // the XMLHTTP names in turn and takes the first it gets.
    std::unique_ptr<HttpRequest> create(const std::wstring& progId) override;

private:
    std::shared_ptr<WinHttpSession> session_;
    int operationTimeoutMs_;
};

}  // namespace hb::win32
