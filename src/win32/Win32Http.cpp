#include "win32/Win32Http.h"

#include <windows.h>
#include <msxml2.h>
#include <objbase.h>

#include <climits>
#include <cstdint>
#include <new>
#include <optional>
#include <stdexcept>
#include <utility>

#include "win32/ComError.h"
#include "win32/ComPtr.h"
#include "win32/ComTypes.h"
#include "win32/HttpAnswer.h"

namespace hb::win32 {

namespace {

// IXMLHTTPRequest, the same in every version of the runtime.
constexpr IID kXmlHttpRequestId = {0xED8C108D, 0x4349, 0x11D2, {0x91, 0xA4, 0x00, 0xC0, 0x4F, 0x79, 0x69, 0xE8}};

// WinINet reports a failed exchange as a "status" in this range.
bool IsInternetErrorCode(long status) { return status >= 12000 && status < 12200; }

class XmlHttpRequest : public HttpRequest {
public:
    explicit XmlHttpRequest(ComPtr<IXMLHTTPRequest> object) : object_(std::move(object)) {}

    void Open(const std::wstring& method, const std::wstring& url, bool async) override {
        Bstr methodText(method);
        Bstr urlText(url);
        Variant asyncFlag = Variant::boolean(async);
        Variant noUser;
        Variant noPassword;
        check(object_->open(methodText.get(), urlText.get(), asyncFlag.get(), noUser.get(), noPassword.get()));
    }

    void setRequestHeader(const std::wstring& name, const std::wstring& value) override {
        Bstr nameText(name);
        Bstr valueText(value);
        check(object_->setRequestHeader(nameText.get(), valueText.get()));
    }

    void send(std::string body) override {
        if (body.size() > ULONG_MAX) throw HttpError(L"The data is too large to send.");
        // Bytes, not a BSTR: a text body would be re-encoded on the way out.
        BorrowedByteArray bytes(body.data(), static_cast<ULONG>(body.size()));
        check(object_->send(bytes.asVariant()));
    }

    void send() override {
        Variant nothing;
        check(object_->send(nothing.get()));
    }

    int readyState() override {
        long state = 0;
        check(object_->get_readyState(&state));
        if (limit_ != SIZE_MAX) enforceLimit(state);
        return static_cast<int>(state);
    }

    std::wstring responseText() override {
        throwOnTransportFailure();
        Bstr text;
        check(object_->get_responseText(text.put()));
        // Wine's XMLHTTP keeps a UTF-8 byte-order mark as U+FEFF, which
        // would make the site's "Inventory Uploaded" a failure.
        std::wstring answer = text.text();
        if (!answer.empty() && answer.front() == L'\uFEFF') answer.erase(0, 1);
        return answer;
    }

    std::string responseBody() override {
        throwOnTransportFailure();
        // Already read by the limit check.
        if (checkedBody_) return *checkedBody_;
        return fetchBody();
    }

    int status() override {
        long status = 0;
        check(object_->get_status(&status));
        return static_cast<int>(status);
    }

    std::wstring responseHeader(const std::wstring& name) override {
        throwOnTransportFailure();
        Bstr nameText(name);
        Bstr value;
        // Absent is not a failure: the caller asks for an optional header.
        if (FAILED(object_->getResponseHeader(nameText.get(), value.put()))) return {};
        return value.text();
    }

    void abort() override { check(object_->abort()); }

    void setResponseLimit(std::size_t maxBytes) override { limit_ = maxBytes; }

private:
    // A transport failure ends the exchange without an answer; it is not
    // an empty reply. WinINet reports it as the status.
    void throwOnTransportFailure() {
        long status = 0;
        if (SUCCEEDED(object_->get_status(&status)) && IsInternetErrorCode(status)) {
            throw HttpError(SystemErrorDescription(static_cast<DWORD>(status)));
        }
    }

    std::string fetchBody() {
        Variant body;
        check(object_->get_responseBody(body.put()));
        try {
            return BytesOfByteArray(body.get());
        } catch (const std::invalid_argument&) {
            throw HttpError(L"The answer's bytes could not be read.");
        }
    }

    // XMLHTTP offers no way to stop reading at a size: a declared length is
    // refused as soon as the headers are in, any other answer once complete.
    void enforceLimit(long state) {
        if (state >= 2 && !lengthChecked_) {
            lengthChecked_ = true;
            Bstr name(L"Content-Length");
            Bstr value;
            if (SUCCEEDED(object_->getResponseHeader(name.get(), value.put())) &&
                DeclaredLengthExceeds(value.text(), limit_)) {
                try {
                    check(object_->abort());
                } catch (const HttpError&) {
                    // Given up either way.
                }
                throw HttpError(ResponseTooLargeText(limit_));
            }
        }
        if (state == 4 && !checkedBody_) {
            long status = 0;
            if (SUCCEEDED(object_->get_status(&status)) && IsInternetErrorCode(status)) return;
            checkedBody_ = fetchBody();
            if (checkedBody_->size() > limit_) {
                checkedBody_.reset();
                throw HttpError(ResponseTooLargeText(limit_));
            }
        }
    }

    void check(HRESULT result) {
        if (FAILED(result)) throw HttpError(ComErrorDescription(result, object_.get(), kXmlHttpRequestId));
    }

    ComPtr<IXMLHTTPRequest> object_;
    std::size_t limit_ = SIZE_MAX;
    bool lengthChecked_ = false;
    std::optional<std::string> checkedBody_;
};

}  // namespace

Win32HttpFactory::Win32HttpFactory(std::set<std::wstring> refusedClassNames) : refused_(std::move(refusedClassNames)) {}

std::unique_ptr<HttpRequest> Win32HttpFactory::create(const std::wstring& progId) {
    if (refused_.count(progId) != 0) return nullptr;
    CLSID classId;
    if (FAILED(::CLSIDFromProgID(progId.c_str(), &classId))) return nullptr;
    ComPtr<IXMLHTTPRequest> object;
    if (FAILED(::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, kXmlHttpRequestId, object.putVoid())))
        return nullptr;
    try {
        return std::make_unique<XmlHttpRequest>(std::move(object));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace hb::win32
