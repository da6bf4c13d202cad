#include "LoopbackSite.h"

namespace hb::e2e {

namespace {

// The head, and the body as far as its length says.
std::string ReadRequest(SOCKET client) {
    std::string request;
    char buffer[65536];
    std::size_t wanted = std::string::npos;
    while (wanted == std::string::npos || request.size() < wanted) {
        const int received = ::recv(client, buffer, sizeof buffer, 0);
        if (received <= 0) break;
        request.append(buffer, static_cast<std::size_t>(received));
        const std::size_t headEnd = request.find("\r\n\r\n");
        if (wanted == std::string::npos && headEnd != std::string::npos) {
            const std::size_t at = request.find("Content-Length: ");
            const std::size_t length = at == std::string::npos || at > headEnd ? 0 : std::stoul(request.substr(at + 16));
            wanted = headEnd + 4 + length;
        }
    }
    return request;
}

}  // namespace

LoopbackSite::LoopbackSite(Answering answering) : answering_(std::move(answering)) {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, SOMAXCONN);
    int length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { serve(); });
}

LoopbackSite::~LoopbackSite() {
    ::closesocket(listener_);
    acceptor_.join();
    ::WSACleanup();
}

void LoopbackSite::serve() {
    for (;;) {
        SOCKET client = ::accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        const std::string answer = answering_(ReadRequest(client));
        ::send(client, answer.data(), static_cast<int>(answer.size()), 0);
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    }
}

std::string HttpAnswer(const std::string& statusLine, const std::string& extraHeaders, const std::string& body) {
    return "HTTP/1.1 " + statusLine + "\r\nContent-Type: text/plain\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

}  // namespace hb::e2e
