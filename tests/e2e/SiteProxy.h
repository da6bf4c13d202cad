#pragma once
// A loopback relay in front of the reference site, so a test can take the
// site down (connections refused) and bring it back on the same address.

#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace hb::e2e {

class SiteProxy {
public:
    explicit SiteProxy(unsigned short sitePort);
    ~SiteProxy();
    SiteProxy(const SiteProxy&) = delete;
    SiteProxy& operator=(const SiteProxy&) = delete;

    unsigned short port() const { return port_; }
    // Up: relays every connection to the site. Down: nothing listens.
    bool up();
    void down();

private:
    void acceptLoop(SOCKET listener);
    static void relay(SOCKET client, unsigned short sitePort);

    unsigned short sitePort_;
    unsigned short port_ = 0;
    SOCKET listener_ = INVALID_SOCKET;
    std::thread acceptor_;
    std::mutex relaysMutex_;
    std::vector<std::thread> relays_;
};

}  // namespace hb::e2e
