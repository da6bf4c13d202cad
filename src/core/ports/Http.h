#pragma once
// The HTTP request object (MSXML's XMLHTTP on Windows), one per request.
// Every operation reports a failure by throwing Failure with the
// component's own description text.

#include <memory>
#include <string>

#include "base/Failure.h"

namespace hb {

// The name the HTTP object's failures go by; the same type as every other.
using HttpError = Failure;

class HttpRequest {
public:
    virtual ~HttpRequest() = default;
    virtual void Open(const std::wstring& method, const std::wstring& url, bool async) = 0;
    virtual void setRequestHeader(const std::wstring& name, const std::wstring& value) = 0;
    // The body travels as bytes, unchanged.
    virtual void send(const std::string& body) = 0;
    virtual void send() = 0;
    virtual int readyState() = 0;
    virtual std::wstring responseText() = 0;
    virtual int status() = 0;
    virtual void abort() = 0;
};

class HttpFactory {
public:
    virtual ~HttpFactory() = default;
    // The object of the given class name (ProgID), or nullptr when it cannot
    // be created.
    virtual std::unique_ptr<HttpRequest> create(const std::wstring& progId) = 0;
};

}  // namespace hb
