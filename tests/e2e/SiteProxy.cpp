#include "SiteProxy.h"

#include <ws2tcpip.h>

namespace hb::e2e {

namespace {

struct WinsockStartup {
    WinsockStartup() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockStartup() { ::WSACleanup(); }
};

sockaddr_in Loopback(unsigned short port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

}  // namespace

SiteProxy::SiteProxy(unsigned short sitePort) : sitePort_(sitePort) {
    static WinsockStartup winsock;
    up();
}

SiteProxy::~SiteProxy() {
    down();
    std::lock_guard<std::mutex> lock(relaysMutex_);
    for (auto& relay : relays_) relay.join();
}

bool SiteProxy::up() {
    if (listener_ != INVALID_SOCKET) return true;
    SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL reuse = TRUE;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address = Loopback(port_);  // the same port again after down()
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, SOMAXCONN) != 0) {
        ::closesocket(listener);
        return false;
    }
    int length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listener_ = listener;
    acceptor_ = std::thread([this, listener] { acceptLoop(listener); });
    return true;
}

void SiteProxy::down() {
    if (listener_ == INVALID_SOCKET) return;
    ::closesocket(listener_);  // ends accept() in the loop
    listener_ = INVALID_SOCKET;
    acceptor_.join();
}

void SiteProxy::acceptLoop(SOCKET listener) {
    for (;;) {
        SOCKET client = ::accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        std::lock_guard<std::mutex> lock(relaysMutex_);
        relays_.emplace_back(relay, client, sitePort_);
    }
}

void SiteProxy::relay(SOCKET client, unsigned short sitePort) {
    SOCKET site = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(sitePort);
    if (::connect(site, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::closesocket(site);
        ::closesocket(client);
        return;
    }
    char buffer[65536];
    for (;;) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(client, &readable);
        FD_SET(site, &readable);
        timeval timeout{120, 0};
        if (::select(0, &readable, nullptr, nullptr, &timeout) <= 0) break;
        SOCKET from = FD_ISSET(client, &readable) ? client : site;
        SOCKET to = from == client ? site : client;
        int received = ::recv(from, buffer, sizeof buffer, 0);
        if (received <= 0) break;
        for (int sent = 0; sent < received;) {
            int n = ::send(to, buffer + sent, received - sent, 0);
            if (n <= 0) break;
            sent += n;
        }
    }
    ::closesocket(site);
    ::closesocket(client);
}

}  // namespace hb::e2e
