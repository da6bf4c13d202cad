#pragma once
// A loopback HTTP server that misbehaves on purpose, one way per path:
//   /reset       starts an answer, then resets the connection
//   /short       starts an answer of 1000 bytes, then closes after 7
//   /drop        reads 1 MB of the request's body, then resets the connection
//   /trickle     answers one byte every 50 ms, without end
//   /stream      answers as fast as the client reads, without end
//   /big         answers 50 MB with its length announced
//   /big-unannounced  answers 50 MB, its end marked only by closing
//   /redirect    answers 302 to /landing, which answers "Inventory Uploaded"
//   /status500   answers 500 with the text "Inventory Uploaded"
//   /megabyte    answers 1 MB with its length announced
//   /marked      answers "Inventory Uploaded" after a UTF-8 byte-order mark
//   /slow-answer answers "Inventory Uploaded" honestly but slowly: one byte
//                every 200 ms (3.6 s in all), its length announced
//   /slow-reader reads the request's body 64 KB every 40 ms (a slow
//                uplink), then answers "Inventory Uploaded"
//   /silent      reads the request, then sends nothing until the server ends
//   anything else: 200 "ok"
// The upload page (/memberbankupload.php) behaves as whichever path
// answerUploadsAs names, so the program's own upload meets each of them.
// Every request is recorded (path, method, body length). Connections are
// served on threads of their own and all end when the server is destroyed.

#include <winsock2.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace hb::test {

struct HostileRequest {
    std::string method;
    std::string path;
    std::size_t bodyBytes = 0;  // as received; less than announced when dropped
    std::string headers;        // the request's header lines as they arrived
};

class HostileServer {
public:
    HostileServer();
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    int port() const { return port_; }
    std::wstring host() const { return L"127.0.0.1:" + std::to_wstring(port_); }
    void answerUploadsAs(std::string path);
    std::wstring url(const char* path) const;
    std::vector<HostileRequest> requests() const;
    // Connections that are still being served.
    int openConnections() const { return open_; }

private:
    void acceptLoop();
    void serve(SOCKET client);
    void record(HostileRequest request);
    // Sends everything or returns false once the client is gone or the server stops.
    bool sendAll(SOCKET client, const char* data, std::size_t size);

    WSADATA winsock_{};
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> open_{0};
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::vector<SOCKET> sockets_;
    std::vector<HostileRequest> requests_;
    std::string uploadBehaviour_ = "/";
};

}  // namespace hb::test
