#include "fakes/FakeHttp.h"

#include <algorithm>
#include <utility>

#include "base/Utf8.h"

namespace hb::test {

namespace {

class FakeHttpRequest : public HttpRequest {
public:
    FakeHttpRequest(FakeHttpFactory& factory, std::shared_ptr<RecordedRequest> record)
        : factory_(factory), record_(std::move(record)) {}
    ~FakeHttpRequest() override { record_->released = true; }

    void Open(const std::wstring& method, const std::wstring& url, bool async) override {
        record_->method = method;
        record_->url = url;
        record_->async = async;
        response_ = factory_.responder ? factory_.responder(*record_) : FakeResponse{};
        body_ = response_.body ? *response_.body : ToUtf8(response_.text);
        if (response_.failAt == FakeResponse::FailAt::Open) throw HttpError(response_.description);
    }
    void setRequestHeader(const std::wstring& name, const std::wstring& value) override {
        record_->headers.emplace_back(name, value);
    }
    void send(std::string body) override {
        record_->body = std::move(body);
        sendCommon();
    }
    void send() override { sendCommon(); }
    int readyState() override {
        if (response_.whilePolling) response_.whilePolling();
        if (response_.failAt == FakeResponse::FailAt::Poll) throw HttpError(response_.description);
        if (response_.neverCompletes || record_->aborted) return record_->aborted ? 0 : 1;
        if (response_.bytesPerPoll > 0) {
            ++polls_;
            return moved() < exchangeBytes() ? 1 : completed();
        }
        if (++polls_ < response_.pollsUntilDone) return 1;
        return completed();
    }
    std::uint64_t progress() override {
        return response_.bytesPerPoll > 0 ? moved() : 0;
    }
    int completed() {
        if (body().size() > record_->responseLimit) throw HttpError(ResponseTooLargeText(record_->responseLimit));
        return 4;
    }
    std::wstring responseText() override {
        if (response_.failAt == FakeResponse::FailAt::Response) throw HttpError(response_.description);
        return response_.text;
    }
    std::string responseBody() override {
        if (response_.failAt == FakeResponse::FailAt::Response) throw HttpError(response_.description);
        return body();
    }
    int status() override { return response_.status; }
    std::wstring responseHeader(const std::wstring& name) override {
        auto lower = [](std::wstring text) {
            for (auto& c : text) c = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
            return text;
        };
        for (const auto& [headerName, value] : response_.headers) {
            if (lower(headerName) == lower(name)) return value;
        }
        return {};
    }
    void abort() override { record_->aborted = true; }
    void setResponseLimit(std::size_t maxBytes) override { record_->responseLimit = maxBytes; }

private:
    const std::string& body() const { return body_; }
    std::uint64_t exchangeBytes() const { return (record_->body ? record_->body->size() : 0) + body().size(); }
    std::uint64_t moved() const {
        std::uint64_t bytes = static_cast<std::uint64_t>(polls_) * response_.bytesPerPoll;
        if (response_.stallAfterBytes) bytes = std::min(bytes, *response_.stallAfterBytes);
        return std::min(bytes, exchangeBytes());
    }
    void sendCommon() {
        record_->sent = true;
        if (factory_.responderAtSend) {
            response_ = factory_.responderAtSend(*record_);
            body_ = response_.body ? *response_.body : ToUtf8(response_.text);
        }
        if (response_.failAt == FakeResponse::FailAt::Send) throw HttpError(response_.description);
    }

    FakeHttpFactory& factory_;
    std::shared_ptr<RecordedRequest> record_;
    FakeResponse response_;
    std::string body_;
    int polls_ = 0;
};

}  // namespace

FakeHttpFactory::FakeHttpFactory()
    : available{L"MSXML2.XMLHTTP.6.0", L"MSXML2.XMLHTTP.4.0", L"MSXML2.XMLHTTP.3.0",
                L"MSXML2.XMLHTTP.2.6", L"MSXML2.XMLHTTP.2.0"} {}

std::unique_ptr<HttpRequest> FakeHttpFactory::create(const std::wstring& progId) {
    attempts.push_back(progId);
    if (available.count(progId) == 0) return nullptr;
    auto record = std::make_shared<RecordedRequest>();
    record->progId = progId;
    requests.push_back(record);
    return std::make_unique<FakeHttpRequest>(*this, record);
}

}  // namespace hb::test
