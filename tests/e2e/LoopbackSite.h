#pragma once
// A website of the test's own on loopback, for answers the reference site
// does not give: each request (its head, and its body as far as its
// Content-Length says) goes to the answering function, whose bytes are sent
// back before the connection is closed.

#include <winsock2.h>

#include <functional>
#include <string>
#include <thread>

namespace hb::e2e {

class LoopbackSite {
public:
    // Runs on the site's own thread, one request at a time.
    using Answering = std::function<std::string(const std::string& request)>;

    explicit LoopbackSite(Answering answering);
    ~LoopbackSite();
    LoopbackSite(const LoopbackSite&) = delete;
    LoopbackSite& operator=(const LoopbackSite&) = delete;

    // "127.0.0.1:PORT"
    std::wstring host() const { return L"127.0.0.1:" + std::to_wstring(port_); }

private:
    void serve();

    Answering answering_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::thread acceptor_;
};

// An HTTP answer with a text body and the given status line ("200 OK").
std::string HttpAnswer(const std::string& statusLine, const std::string& extraHeaders, const std::string& body);

}  // namespace hb::e2e
