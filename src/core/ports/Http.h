#pragma once
// The HTTP request object (WinHTTP; MSXML's XMLHTTP where WinHTTP cannot be
// opened), one per request.
// Every operation reports a failure by throwing Failure with the
// component's own description text.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "ports/Failure.h"

namespace hb {

// The name the HTTP object's failures go by; the same type as every other.
using HttpError = Failure;

class HttpRequest {
public:
    virtual ~HttpRequest() = default;
    virtual void Open(const std::wstring& method, const std::wstring& url, bool async) = 0;
    virtual void setRequestHeader(const std::wstring& name, const std::wstring& value) = 0;
    // The body travels as bytes, unchanged. Taken by value so a transport
    // that sends after this returns can keep it without a copy.
    virtual void send(std::string body) = 0;
    virtual void send() = 0;
    virtual int readyState() = 0;
    virtual std::wstring responseText() = 0;
    // The answer's bytes, unchanged.
    virtual std::string responseBody() = 0;
    virtual int status() = 0;
    // A header of the answer (the first of that name), empty when absent.
    virtual std::wstring responseHeader(const std::wstring& name) = 0;
    virtual void abort() = 0;
    // A count that grows whenever bytes of the exchange move (connected,
    // a piece of the body sent, a piece of the answer received), so the
    // caller can tell a slow transfer from a dead one. A transport that
    // cannot tell returns 0 throughout; its wait then ends as if nothing moved.
    virtual std::uint64_t progress() { return 0; }
    // The longest answer the caller accepts (set before send). A longer one
    // ends the request as a failure described by ResponseTooLargeText, so a
    // server cannot fill memory or disk.
    virtual void setResponseLimit(std::size_t maxBytes) = 0;
};

// "The server's answer is larger than 64 KB; the request was cancelled."
inline std::wstring ResponseTooLargeText(std::size_t maxBytes) {
    constexpr std::size_t kKilobyte = 1024;
    constexpr std::size_t kMegabyte = 1024 * kKilobyte;
    std::wstring size;
    if (maxBytes >= kMegabyte && maxBytes % kMegabyte == 0) {
        size = std::to_wstring(maxBytes / kMegabyte) + L" MB";
    } else if (maxBytes >= kKilobyte && maxBytes % kKilobyte == 0) {
        size = std::to_wstring(maxBytes / kKilobyte) + L" KB";
    } else {
        size = std::to_wstring(maxBytes) + (maxBytes == 1 ? L" byte" : L" bytes");
    }
    return L"The server's answer is larger than " + size + L"; the request was cancelled.";
}

class HttpFactory {
public:
    virtual ~HttpFactory() = default;
    // The object of the given class name (ProgID), or nullptr when it cannot
    // be created.
    virtual std::unique_ptr<HttpRequest> create(const std::wstring& progId) = 0;
};

}  // namespace hb
