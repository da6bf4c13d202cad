#pragma once
// Scripted HTTP objects: each request is recorded and answered by a
// responder; the answer may fail at a chosen step or never complete. An
// answer longer than the request's limit fails when it would complete, as
// the real transports do.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ports/Http.h"

namespace hb::test {

struct RecordedRequest {
    std::wstring progId;
    std::wstring method;
    std::wstring url;
    bool async = false;
    std::vector<std::pair<std::wstring, std::wstring>> headers;
    std::optional<std::string> body;  // nullopt: send() without a body
    std::size_t responseLimit = SIZE_MAX;  // as set by setResponseLimit
    bool sent = false;
    bool aborted = false;
    bool released = false;
};

struct FakeResponse {
    std::wstring text;
    std::optional<std::string> body;  // nullopt: the text as UTF-8
    int status = 200;
    std::vector<std::pair<std::wstring, std::wstring>> headers;  // of the answer
    enum class FailAt { Nothing, Open, Send, Poll, Response } failAt = FailAt::Nothing;
    std::wstring description = L"The operation failed";
    int pollsUntilDone = 1;  // readyState reads before it becomes 4
    bool neverCompletes = false;
    // A link of this many bytes per poll (10 ms of the fake clock): the
    // body and the answer move at this rate, progress() tells it, and the
    // request completes once both have moved (pollsUntilDone is then
    // ignored). 0: progress() stays 0, as for a transport that cannot tell.
    std::uint64_t bytesPerPoll = 0;
    // With bytesPerPoll: the peer stops moving anything after this many
    // bytes, and the request never completes.
    std::optional<std::uint64_t> stallAfterBytes;
    std::function<void()> whilePolling;  // runs on every readyState read
};

// A plain answer with this text.
inline FakeResponse Answer(std::wstring text) {
    FakeResponse response;
    response.text = std::move(text);
    return response;
}

// A server of files by URL: what `files` holds at the request, else 404
// "Not Found". The map is read when a request comes, so a test may change it.
inline std::function<FakeResponse(const RecordedRequest&)> ServeFiles(
    const std::map<std::wstring, FakeResponse>& files) {
    return [&files](const RecordedRequest& request) {
        auto found = files.find(request.url);
        if (found != files.end()) return found->second;
        FakeResponse missing;
        missing.status = 404;
        missing.text = L"Not Found";
        return missing;
    };
}

class FakeHttpFactory : public HttpFactory {
public:
    FakeHttpFactory();
    std::unique_ptr<HttpRequest> create(const std::wstring& progId) override;

    std::set<std::wstring> available;  // class names that can be created
    std::vector<std::wstring> attempts;  // every class name asked for
    std::vector<std::shared_ptr<RecordedRequest>> requests;
    std::function<FakeResponse(const RecordedRequest&)> responder;
    // When set, answers instead once the body is known (at send), for a
    // site that answers by what it received.
    std::function<FakeResponse(const RecordedRequest&)> responderAtSend;
};

}  // namespace hb::test
