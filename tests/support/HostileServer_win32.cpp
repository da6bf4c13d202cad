#include "support/HostileServer.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace hb::test {

namespace {

constexpr std::size_t kFiftyMegabytes = 50u * 1024u * 1024u;

// Waits up to timeoutMs for the socket to become readable (or writable).
bool Ready(SOCKET socket, bool forWriting, int timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return ::select(0, forWriting ? nullptr : &set, forWriting ? &set : nullptr, nullptr, &timeout) > 0;
}

void Reset(SOCKET socket) {
    linger hard{1, 0};  // closing with a zero linger time sends RST
    ::setsockopt(socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof hard);
}

std::size_t ContentLength(const std::string& headers) {
    std::string lower = headers;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::size_t at = lower.find("\r\ncontent-length:");
    return at == std::string::npos ? 0 : std::strtoull(lower.c_str() + at + 17, nullptr, 10);
}

}  // namespace

HostileServer::HostileServer() {
    ::WSAStartup(MAKEWORD(2, 2), &winsock_);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, 64);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

HostileServer::~HostileServer() {
    stopping_ = true;
    acceptor_.join();
    ::closesocket(listener_);
    std::vector<std::thread> connections;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        connections.swap(connections_);
    }
    for (std::thread& connection : connections) connection.join();
    ::WSACleanup();
}

std::wstring HostileServer::url(const char* path) const {
    std::wstring result = L"http://127.0.0.1:" + std::to_wstring(port_);
    for (const char* c = path; *c != '\0'; ++c) result.push_back(static_cast<wchar_t>(*c));
    return result;
}

void HostileServer::answerUploadsAs(std::string path) {
    std::lock_guard<std::mutex> lock(mutex_);
    uploadBehaviour_ = std::move(path);
}

std::vector<HostileRequest> HostileServer::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void HostileServer::record(HostileRequest request) {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(std::move(request));
}

void HostileServer::acceptLoop() {
    while (!stopping_) {
        if (!Ready(listener_, false, 50)) continue;
        SOCKET client = ::accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        ++open_;
        std::lock_guard<std::mutex> lock(mutex_);
        connections_.emplace_back([this, client] {
            serve(client);
            ::closesocket(client);
            --open_;
        });
    }
}

bool HostileServer::sendAll(SOCKET client, const char* data, std::size_t size) {
    while (size > 0) {
        if (stopping_) return false;
        if (!Ready(client, true, 50)) continue;
        const int sent = ::send(client, data, static_cast<int>(std::min<std::size_t>(size, 64 * 1024)), 0);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

void HostileServer::serve(SOCKET client) {
    // The request line and headers.
    std::string received;
    std::size_t headerEnd = std::string::npos;
    char buffer[64 * 1024];
    while (headerEnd == std::string::npos) {
        if (stopping_) return;
        if (!Ready(client, false, 50)) continue;
        const int got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) return;
        received.append(buffer, static_cast<std::size_t>(got));
        headerEnd = received.find("\r\n\r\n");
    }
    HostileRequest request;
    const std::string head = received.substr(0, headerEnd + 2);
    request.method = head.substr(0, head.find(' '));
    const std::size_t pathStart = head.find(' ') + 1;
    request.path = head.substr(pathStart, head.find(' ', pathStart) - pathStart);
    request.headers = head.substr(head.find("\r\n") + 2);
    const std::size_t announced = ContentLength("\r\n" + request.headers);
    std::string path = request.path.substr(0, request.path.find('?'));
    if (path == "/memberbankupload.php") {
        std::lock_guard<std::mutex> lock(mutex_);
        path = uploadBehaviour_;
    }
    request.bodyBytes = received.size() - (headerEnd + 4);

    // The body, unless this path drops the connection partway.
    const std::size_t readUpTo = path == "/drop" ? std::min<std::size_t>(announced, 1024 * 1024) : announced;
    // A slow uplink: the body arrives a little at a time, but it does arrive.
    const std::size_t piece = path == "/slow-reader" ? 64 * 1024 : sizeof buffer;
    while (request.bodyBytes < readUpTo) {
        if (stopping_) return;
        if (!Ready(client, false, 50)) continue;
        const int got = ::recv(client, buffer, static_cast<int>(std::min(piece, readUpTo - request.bodyBytes)), 0);
        if (got <= 0) break;
        request.bodyBytes += static_cast<std::size_t>(got);
        if (path == "/slow-reader") ::Sleep(40);
    }
    record(std::move(request));

    auto answer = [&](const std::string& status, const std::string& extraHeaders, const std::string& body) {
        const std::string text = "HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                                 std::to_string(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" +
                                 body;
        sendAll(client, text.data(), text.size());
    };
    const std::string endless = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n";

    if (path == "/reset") {
        const std::string start = "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\nConnection: close\r\n\r\npartial";
        sendAll(client, start.data(), start.size());
        Reset(client);
    } else if (path == "/short") {
        const std::string start = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\npartial";
        sendAll(client, start.data(), start.size());
        ::shutdown(client, SD_SEND);  // an orderly close, long before the announced end
    } else if (path == "/drop") {
        Reset(client);
    } else if (path == "/trickle") {
        if (!sendAll(client, endless.data(), endless.size())) return;
        while (sendAll(client, "x", 1)) ::Sleep(50);
    } else if (path == "/stream") {
        if (!sendAll(client, endless.data(), endless.size())) return;
        std::string piece(64 * 1024, 'x');
        while (sendAll(client, piece.data(), piece.size())) {
        }
    } else if (path == "/big" || path == "/big-unannounced") {
        const std::string opening = path == "/big" ? "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                                      std::to_string(kFiftyMegabytes) + "\r\nConnection: close\r\n\r\n"
                                                : endless;
        if (!sendAll(client, opening.data(), opening.size())) return;
        std::string piece(1024 * 1024, 'x');
        for (std::size_t sent = 0; sent < kFiftyMegabytes; sent += piece.size()) {
            if (!sendAll(client, piece.data(), piece.size())) return;
        }
    } else if (path == "/redirect") {
        answer("302 Found", "Location: /landing\r\n", "Moved");
    } else if (path == "/status500") {
        answer("500 Internal Server Error", "", "Inventory Uploaded");
    } else if (path == "/marked") {
        answer("200 OK", "", "\xEF\xBB\xBFInventory Uploaded");
    } else if (path == "/megabyte") {
        answer("200 OK", "", std::string(1024 * 1024, 'm'));
    } else if (path == "/slow-answer") {
        const std::string text = "Inventory Uploaded";
        const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                 std::to_string(text.size()) + "\r\nConnection: close\r\n\r\n";
        if (!sendAll(client, head.data(), head.size())) return;
        for (char c : text) {
            ::Sleep(200);
            if (!sendAll(client, &c, 1)) return;
        }
    } else if (path == "/slow-reader") {
        answer("200 OK", "", "Inventory Uploaded");
    } else if (path == "/silent") {
        while (!stopping_) ::Sleep(50);
    } else if (path == "/landing") {
        answer("200 OK", "", "Inventory Uploaded");
    } else {
        answer("200 OK", "", "ok");
    }
}

}  // namespace hb::test
