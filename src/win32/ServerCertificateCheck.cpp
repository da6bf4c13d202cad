#include "win32/ServerCertificateCheck.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "win32/Handles.h"

namespace hb::win32 {

namespace {

// A handshake is a few kilobytes; a server sending more is not answering one.
constexpr std::size_t kMaxHandshakeBytes = 256 * 1024;
constexpr int kMaxHandshakeRounds = 16;

struct SocketTraits {
    using Handle = SOCKET;
    static Handle invalid() noexcept { return INVALID_SOCKET; }
    static void close(Handle socket) noexcept { ::closesocket(socket); }
};
using UniqueSocket = UniqueHandle<SocketTraits>;

class Winsock {
public:
    Winsock() : ok_(::WSAStartup(MAKEWORD(2, 2), &data_) == 0) {}
    ~Winsock() {
        if (ok_) ::WSACleanup();
    }
    Winsock(const Winsock&) = delete;
    Winsock& operator=(const Winsock&) = delete;
    bool ok() const { return ok_; }

private:
    WSADATA data_{};
    bool ok_;
};

class Credentials {
public:
    Credentials() {
        SCHANNEL_CRED settings{};
        settings.dwVersion = SCHANNEL_CRED_VERSION;
        // The certificate is checked below, where its problems can be read.
        settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
        TimeStamp expiry;
        ok_ = ::AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                          &settings, nullptr, nullptr, &handle_, &expiry) == SEC_E_OK;
    }
    ~Credentials() {
        if (ok_) ::FreeCredentialsHandle(&handle_);
    }
    Credentials(const Credentials&) = delete;
    Credentials& operator=(const Credentials&) = delete;
    bool ok() const { return ok_; }
    CredHandle* get() { return &handle_; }

private:
    CredHandle handle_{};
    bool ok_ = false;
};

class SecurityContext {
public:
    SecurityContext() = default;
    ~SecurityContext() {
        if (started) ::DeleteSecurityContext(&handle);
    }
    SecurityContext(const SecurityContext&) = delete;
    SecurityContext& operator=(const SecurityContext&) = delete;
    CtxtHandle handle{};
    bool started = false;
};

struct ContextBufferFree {
    void operator()(void* buffer) const { ::FreeContextBuffer(buffer); }
};

struct CertificateFree {
    void operator()(const CERT_CONTEXT* certificate) const { ::CertFreeCertificateContext(certificate); }
};
using UniqueCertificate = std::unique_ptr<const CERT_CONTEXT, CertificateFree>;

struct ChainFree {
    void operator()(const CERT_CHAIN_CONTEXT* chain) const { ::CertFreeCertificateChain(chain); }
};
using UniqueChain = std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFree>;

// A connection to host:port with connecting, sending and receiving bounded.
UniqueSocket Connect(const std::wstring& host, INTERNET_PORT port, DWORD timeoutMs) {
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    ADDRINFOW* found = nullptr;
    if (::GetAddrInfoW(host.c_str(), std::to_wstring(port).c_str(), &hints, &found) != 0) return {};
    std::unique_ptr<ADDRINFOW, decltype(&::FreeAddrInfoW)> addresses(found, ::FreeAddrInfoW);
    const DWORD timeout = std::min<DWORD>(timeoutMs, INT_MAX);
    for (const ADDRINFOW* address = found; address; address = address->ai_next) {
        UniqueSocket socket(::socket(address->ai_family, address->ai_socktype, address->ai_protocol));
        if (!socket) continue;
        u_long nonBlocking = 1;
        ::ioctlsocket(socket.get(), FIONBIO, &nonBlocking);
        if (::connect(socket.get(), address->ai_addr, static_cast<int>(address->ai_addrlen)) != 0) {
            if (::WSAGetLastError() != WSAEWOULDBLOCK) continue;
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_SET(socket.get(), &writable);
            FD_ZERO(&failed);
            FD_SET(socket.get(), &failed);
            timeval wait{static_cast<long>(timeout / 1000), static_cast<long>(timeout % 1000) * 1000};
            if (::select(0, nullptr, &writable, &failed, &wait) <= 0 || !FD_ISSET(socket.get(), &writable)) continue;
        }
        u_long blocking = 0;
        ::ioctlsocket(socket.get(), FIONBIO, &blocking);
        ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        return socket;
    }
    return {};
}

bool SendAll(SOCKET socket, const char* data, ULONG size) {
    while (size > 0) {
        const int sent = ::send(socket, data, static_cast<int>(std::min<ULONG>(size, INT_MAX)), 0);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<ULONG>(sent);
    }
    return true;
}

bool ReceiveMore(SOCKET socket, std::vector<char>& received) {
    if (received.size() >= kMaxHandshakeBytes) return false;
    const std::size_t before = received.size();
    received.resize(before + 16 * 1024);
    const int got = ::recv(socket, received.data() + before, 16 * 1024, 0);
    received.resize(before + (got > 0 ? static_cast<std::size_t>(got) : 0));
    return got > 0;
}

// The certificate the server presents in a completed handshake, or nothing.
UniqueCertificate HandshakeCertificate(SOCKET socket, const std::wstring& host) {
    Credentials credentials;
    if (!credentials.ok()) return nullptr;
    SecurityContext context;
    const ULONG wanted = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                         ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
    std::vector<char> received;
    bool first = true;
    for (int round = 0; round < kMaxHandshakeRounds; ++round) {
        SecBuffer input[2] = {{static_cast<ULONG>(received.size()), SECBUFFER_TOKEN, received.data()},
                              {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inputs{SECBUFFER_VERSION, 2, input};
        SecBuffer output{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outputs{SECBUFFER_VERSION, 1, &output};
        ULONG granted = 0;
        const SECURITY_STATUS status = ::InitializeSecurityContextW(
            credentials.get(), first ? nullptr : &context.handle, const_cast<wchar_t*>(host.c_str()), wanted, 0, 0,
            first ? nullptr : &inputs, 0, &context.handle, &outputs, &granted, nullptr);
        std::unique_ptr<void, ContextBufferFree> token(output.pvBuffer);
        if (first && (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK)) context.started = true;
        if (!context.started) return nullptr;
        first = false;
        if (output.cbBuffer > 0 && output.pvBuffer &&
            !SendAll(socket, static_cast<const char*>(output.pvBuffer), output.cbBuffer))
            return nullptr;
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            if (!ReceiveMore(socket, received)) return nullptr;
            continue;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) return nullptr;
        // What the step did not use belongs to the next one.
        if (input[1].BufferType == SECBUFFER_EXTRA && input[1].cbBuffer <= received.size()) {
            received.erase(received.begin(), received.end() - input[1].cbBuffer);
        } else {
            received.clear();
        }
        if (status == SEC_E_OK) {
            const CERT_CONTEXT* certificate = nullptr;
            if (::QueryContextAttributesW(&context.handle, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK)
                return nullptr;
            return UniqueCertificate(certificate);
        }
        if (received.empty() && !ReceiveMore(socket, received)) return nullptr;
    }
    return nullptr;
}

// The problems of the certificate for host, as WinHTTP's checks find them:
// the chain to a trusted root for server authentication, then the name.
DWORD CertificateProblems(const CERT_CONTEXT* certificate, const std::wstring& host) {
    char serverAuthentication[] = szOID_PKIX_KP_SERVER_AUTH;
    char* usages[] = {serverAuthentication};
    CERT_CHAIN_PARA chainParameters{};
    chainParameters.cbSize = sizeof chainParameters;
    chainParameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainParameters.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainParameters.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    const CERT_CHAIN_CONTEXT* built = nullptr;
    if (!::CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainParameters, 0, nullptr,
                                   &built))
        return WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT;
    UniqueChain chain(built);

    DWORD problems = 0;
    const DWORD status = chain->TrustStatus.dwErrorStatus;
    if (status & CERT_TRUST_IS_NOT_TIME_VALID) problems |= WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID;
    if (status & (CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN))
        problems |= WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA;
    if (status & CERT_TRUST_IS_REVOKED) problems |= WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED;
    if (status & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) problems |= WINHTTP_CALLBACK_STATUS_FLAG_CERT_WRONG_USAGE;
    const DWORD named = CERT_TRUST_IS_NOT_TIME_VALID | CERT_TRUST_IS_NOT_TIME_NESTED | CERT_TRUST_IS_UNTRUSTED_ROOT |
                        CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_REVOKED | CERT_TRUST_IS_NOT_VALID_FOR_USAGE |
                        CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
    if (status & ~named) problems |= WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT;

    // The name on its own: the problems of the chain are known already, so
    // the SSL policy is told to pass over them and report only a name that
    // does not match.
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks =
        SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
    ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_NOT_TIME_VALID_FLAGS | CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG |
                     CERT_CHAIN_POLICY_IGNORE_WRONG_USAGE_FLAG | CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS verdict{};
    verdict.cbSize = sizeof verdict;
    if (::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &verdict) &&
        verdict.dwError == static_cast<DWORD>(CERT_E_CN_NO_MATCH))
        problems |= WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID;
    return problems;
}

}  // namespace

DWORD ExamineServerCertificate(const std::wstring& host, INTERNET_PORT port, DWORD timeoutMs) {
    Winsock winsock;
    if (!winsock.ok()) return 0;
    const UniqueSocket socket = Connect(host, port, timeoutMs);
    if (!socket) return 0;
    const UniqueCertificate certificate = HandshakeCertificate(socket.get(), host);
    if (!certificate) return 0;
    return CertificateProblems(certificate.get(), host);
}

}  // namespace hb::win32
