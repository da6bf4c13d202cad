#include "win32/Win32WinHttp.h"

#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "win32/CertificateFailure.h"
#include "win32/ComError.h"
#include "win32/Handles.h"
#include "win32/HttpAnswer.h"
#include "win32/ServerCertificateCheck.h"
#include "win32/WinHttpProxy.h"

namespace hb::win32 {

namespace {

// Bodies go to the socket straight from the caller's buffer, a piece at a
// time, so a cancelled upload stops within one piece and a slow uplink
// shows progress at every piece.
constexpr DWORD kWritePiece = 64 * 1024;
constexpr std::size_t kReadPiece = 64 * 1024;

// The texts Windows gives for these codes; Wine's WinHTTP has no message
// table and passes some socket errors on as they are, and the user should
// read the same words on either.
std::wstring TransportErrorText(DWORD code) {
    switch (code) {
        case ERROR_WINHTTP_CANNOT_CONNECT:
        case WSAECONNREFUSED:
            return L"A connection with the server could not be established.";
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case WSAECONNRESET:
        case WSAECONNABORTED:
            return L"The connection with the server was reset.";
        case ERROR_WINHTTP_TIMEOUT:
        case WSAETIMEDOUT:
            return L"The operation timed out.";
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            return L"The server name or address could not be resolved.";
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
            return L"The server returned an invalid or unrecognized response.";
        case ERROR_WINHTTP_INVALID_URL:
            return L"The URL is invalid.";
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
            return L"The URL does not use a recognized protocol.";
        case ERROR_WINHTTP_REDIRECT_FAILED:
            return L"The redirection failed.";
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return L"There is not enough memory for the request.";
        default:
            return SystemErrorDescription(code);
    }
}

}  // namespace

class WinHttpSession {
public:
    WinHttpSession() : session_(OpenProxySession(L"HoardbookUploader")) {}
    HINTERNET get() const { return session_.handle.get(); }
    bool proxyPerRequest() const { return session_.proxyPerRequest; }

private:
    ProxySession session_;
};

namespace {

// One exchange, shared by the request object and its worker thread, so
// neither can free what the other still uses. Everything above `cancelled`
// is set before the worker starts and only read afterwards; the results
// are written by the worker before `done` and read by the window thread
// only after it.
struct Exchange {
    std::shared_ptr<WinHttpSession> session;
    DWORD timeoutMs = 60000;
    std::wstring method;
    std::wstring url;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring path;
    bool secure = false;
    std::wstring headers;
    std::string body;
    bool hasBody = false;
    std::size_t limit = SIZE_MAX;

    std::atomic<bool> cancelled{false};
    std::atomic<bool> done{false};
    // Grows whenever bytes move (connected, a piece sent, the answer's head
    // or a piece of it received): the window thread tells a slow exchange
    // from a dead one by it.
    std::atomic<std::uint64_t> progress{0};

    DWORD error = ERROR_SUCCESS;
    std::wstring failure;  // set instead of error for a refused answer or certificate
    DWORD certificateProblems = 0;  // WINHTTP_CALLBACK_STATUS_FLAG_* of a refused certificate
    int status = 0;
    std::wstring contentType;
    std::wstring answerHeaders;  // raw, as WinHTTP gives them
    std::string answer;
};

std::wstring QueryText(HINTERNET request, DWORD what) {
    DWORD size = 0;
    ::WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                          WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (!::WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                               WINHTTP_NO_HEADER_INDEX))
        return {};
    text.resize(size / sizeof(wchar_t));
    return text;
}

// Windows names what is wrong with a refused certificate only here, on the
// worker's own thread during the call that fails (the exchange is
// synchronous). The exchange comes as the request's context.
void CALLBACK OnSecureFailure(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length) noexcept {
    if (status != WINHTTP_CALLBACK_STATUS_SECURE_FAILURE || context == 0 || !information || length < sizeof(DWORD))
        return;
    reinterpret_cast<Exchange*>(context)->certificateProblems |= *static_cast<const DWORD*>(information);
}

// The request and its body, once, up to the answer's head. Returns false
// with the last error set; true also when the exchange was given up.
bool SendOnce(Exchange& x, HINTERNET request) {
    const DWORD total = static_cast<DWORD>(x.body.size());
    if (!::WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, total,
                              reinterpret_cast<DWORD_PTR>(&x)))
        return false;
    x.progress += 1;
    for (DWORD sent = 0; sent < total;) {
        if (x.cancelled) return true;
        DWORD written = 0;
        if (!::WinHttpWriteData(request, x.body.data() + sent, std::min(kWritePiece, total - sent), &written))
            return false;
        if (written == 0) {
            ::SetLastError(ERROR_WINHTTP_CONNECTION_ERROR);
            return false;
        }
        sent += written;
        x.progress += written;
    }
    if (x.cancelled) return true;
    return ::WinHttpReceiveResponse(request, nullptr) != FALSE;
}

// WinHTTP may ask for the request to be sent again on the same handle: a
// site that asks for a client certificate without requiring one (the
// program has none to give, so it goes on without one, as browsers do), or
// a step of WinHTTP's own such as proxy authentication. The body is kept
// until the answer's head arrives so that it can go again: without a
// certificate once, three times in all, so a site that keeps asking ends in
// its error.
constexpr int kMaxResends = 3;

bool SendUntilAnswered(Exchange& x, HINTERNET request) {
    bool withoutCertificate = false;
    for (int resends = 0;; ++resends) {
        if (SendOnce(x, request)) return true;
        const DWORD error = ::GetLastError();
        const bool again = error == ERROR_WINHTTP_RESEND_REQUEST ||
                           (error == ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED && !withoutCertificate);
        if (!again || x.cancelled || resends == kMaxResends) {
            ::SetLastError(error);
            return false;
        }
        if (error == ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED) {
            if (!::WinHttpSetOption(request, WINHTTP_OPTION_CLIENT_CERT_CONTEXT, WINHTTP_NO_CLIENT_CERT_CONTEXT, 0))
                return false;
            withoutCertificate = true;
        }
    }
}

// The whole exchange with blocking calls, each bounded by WinHTTP's
// timeouts. Returns false with exchange.error set on a transport failure.
bool Perform(Exchange& x) {
    auto failed = [&x] {
        x.error = ::GetLastError();
        if (x.error == ERROR_SUCCESS) x.error = ERROR_WINHTTP_INTERNAL_ERROR;
        return false;
    };
    UniqueInternet connection(::WinHttpConnect(x.session->get(), x.host.c_str(), x.port, 0));
    if (!connection) return failed();
    UniqueInternet request(::WinHttpOpenRequest(connection.get(), x.method.c_str(), x.path.c_str(), nullptr,
                                                WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                x.secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request) return failed();
    if (x.session->proxyPerRequest()) ApplyUserProxy(x.session->get(), request.get(), x.url);
    // A download may follow a redirect, but never from TLS to plain HTTP.
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
    ::WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
    // The certificate is checked against the system's trust store, as
    // WinHTTP does by default; the callback only hears why it was refused.
    ::WinHttpSetStatusCallback(request.get(), OnSecureFailure, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);
    const int timeout = static_cast<int>(std::min<DWORD>(x.timeoutMs, INT_MAX));
    if (!::WinHttpSetTimeouts(request.get(), timeout, timeout, timeout, timeout)) return failed();
    if (x.hasBody) {
        // Following a redirect would resend without the body (or to another
        // site): the caller sees the redirect's own status instead.
        DWORD redirects = WINHTTP_DISABLE_REDIRECTS;
        if (!::WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &redirects, sizeof redirects))
            return failed();
    }
    if (!x.headers.empty() &&
        !::WinHttpAddRequestHeaders(request.get(), x.headers.c_str(), static_cast<DWORD>(-1),
                                    WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
        return failed();

    if (!SendUntilAnswered(x, request.get())) return failed();
    // The answer's head is here: the program's copy of the body is not
    // needed any more.
    std::string().swap(x.body);
    if (x.cancelled) return true;
    x.progress += 1;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return failed();
    x.status = static_cast<int>(status);
    x.contentType = QueryText(request.get(), WINHTTP_QUERY_CONTENT_TYPE);
    x.answerHeaders = QueryText(request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF);
    const std::wstring declared = QueryText(request.get(), WINHTTP_QUERY_CONTENT_LENGTH);
    if (DeclaredLengthExceeds(declared, x.limit)) {
        x.failure = ResponseTooLargeText(x.limit);
        return false;
    }
    const std::optional<std::size_t> length = DeclaredLength(declared);
    // Room for the announced answer at once (an unbounded request's only up
    // to a size any answer of this program has).
    if (length) x.answer.reserve(std::min<std::size_t>(*length, 16 * 1024 * 1024));
    for (;;) {
        if (x.cancelled) return true;
        // Waits for some data, not for a whole piece: a server that sends a
        // byte at a time must not hold the worker once the request is given
        // up.
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request.get(), &available)) return failed();
        if (x.cancelled) return true;
        // One byte beyond the bound is enough to know the answer is too long.
        const std::size_t room = x.limit == SIZE_MAX ? kReadPiece : x.limit - x.answer.size() + 1;
        const std::size_t piece = std::max<std::size_t>(1, std::min({kReadPiece, room, std::size_t{available}}));
        const std::size_t before = x.answer.size();
        x.answer.resize(before + piece);
        DWORD read = 0;
        const bool ok = ::WinHttpReadData(request.get(), x.answer.data() + before, static_cast<DWORD>(piece), &read);
        x.answer.resize(before + (ok ? read : 0));
        if (!ok) return failed();
        x.progress += read;
        if (read == 0) {
            // A connection closed early can look like a normal end.
            if (length && x.answer.size() != *length) {
                std::string().swap(x.answer);
                x.failure = L"The connection with the server ended before the whole answer arrived.";
                return false;
            }
            return true;
        }
        if (x.answer.size() > x.limit) {
            std::string().swap(x.answer);
            x.failure = ResponseTooLargeText(x.limit);
            return false;
        }
    }
}

// A refused secure connection is described by what is wrong with the
// certificate. Wine's WinHTTP says only that the secure channel failed,
// without the callback: then the certificate is examined on our own.
void DescribeSecureFailure(Exchange& x) {
    DWORD problems = x.certificateProblems | CertificateProblemsOf(x.error);
    if (problems == 0 && !x.cancelled) problems = ExamineServerCertificate(x.host, x.port, x.timeoutMs);
    x.failure = SecureFailureText(problems, x.host);
}

void RunExchange(const std::shared_ptr<Exchange>& x) {
    try {
        if (!Perform(*x) && IsSecureFailure(x->error)) DescribeSecureFailure(*x);
    } catch (const std::bad_alloc&) {
        x->error = ERROR_NOT_ENOUGH_MEMORY;
    } catch (const std::exception&) {
        x->error = ERROR_WINHTTP_INTERNAL_ERROR;
    }
    x->done.store(true, std::memory_order_release);
}

class WinHttpTransportRequest : public HttpRequest {
public:
    WinHttpTransportRequest(std::shared_ptr<WinHttpSession> session, DWORD timeoutMs)
        : session_(std::move(session)), timeoutMs_(timeoutMs) {}
    ~WinHttpTransportRequest() override {
        // The worker may still be inside WinHTTP; it owns its share of the
        // exchange and ends at its next step.
        if (exchange_) exchange_->cancelled = true;
    }

    void Open(const std::wstring& method, const std::wstring& url, bool) override {
        if (exchange_) exchange_->cancelled = true;
        auto x = std::make_shared<Exchange>();
        x->session = session_;
        x->timeoutMs = timeoutMs_;
        x->method = method;
        x->url = url;

        URL_COMPONENTS parts{};
        parts.dwStructSize = sizeof parts;
        parts.dwHostNameLength = static_cast<DWORD>(-1);
        parts.dwUrlPathLength = static_cast<DWORD>(-1);
        parts.dwExtraInfoLength = static_cast<DWORD>(-1);
        if (!::WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) fail(::GetLastError());
        if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
            fail(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
        x->host.assign(parts.lpszHostName, parts.dwHostNameLength);
        x->port = parts.nPort;
        x->secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
        x->path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
        x->path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
        if (x->path.empty()) x->path = L"/";
        exchange_ = std::move(x);
        started_ = false;
        aborted_ = false;
    }

    void setRequestHeader(const std::wstring& name, const std::wstring& value) override {
        Exchange& x = unsent();
        // A line break would start a header of the caller's choosing.
        if ((name + value).find_first_of(L"\r\n") != std::wstring::npos || name.empty())
            throw HttpError(L"The header " + name + L" is not valid.");
        x.headers += name + L": " + value + L"\r\n";
    }

    void send(std::string body) override {
        Exchange& x = unsent();
        if (body.size() > ULONG_MAX) throw HttpError(L"The data is too large to send.");
        x.body = std::move(body);
        x.hasBody = true;
        start();
    }

    void send() override {
        unsent();
        start();
    }

    int readyState() override {
        if (!exchange_ || aborted_) return 0;
        if (!started_ || !exchange_->done.load(std::memory_order_acquire)) return 1;
        if (!exchange_->failure.empty()) throw HttpError(exchange_->failure);
        if (exchange_->error != ERROR_SUCCESS) throw HttpError(TransportErrorText(exchange_->error));
        return 4;
    }

    std::wstring responseText() override { return AnswerText(completed().answer, completed().contentType); }
    std::string responseBody() override { return completed().answer; }
    int status() override { return completed().status; }
    std::wstring responseHeader(const std::wstring& name) override {
        return HeaderValue(completed().answerHeaders, name);
    }

    void abort() override {
        if (exchange_) exchange_->cancelled = true;
        aborted_ = true;
    }

    void setResponseLimit(std::size_t maxBytes) override { unsent().limit = maxBytes; }

    std::uint64_t progress() override { return exchange_ ? exchange_->progress.load() : 0; }

private:
    [[noreturn]] static void fail(DWORD code) { throw HttpError(TransportErrorText(code)); }

    Exchange& unsent() {
        if (!exchange_) throw HttpError(L"The request has not been opened.");
        if (started_) throw HttpError(L"The request has already been sent.");
        return *exchange_;
    }

    const Exchange& completed() {
        if (readyState() != 4) throw HttpError(L"The answer has not arrived yet.");
        return *exchange_;
    }

    void start() {
        try {
            std::thread(RunExchange, exchange_).detach();
        } catch (const std::system_error&) {
            throw HttpError(L"The request could not be started: the system is out of resources.");
        }
        started_ = true;
    }

    std::shared_ptr<WinHttpSession> session_;
    DWORD timeoutMs_;
    std::shared_ptr<Exchange> exchange_;
    bool started_ = false;
    bool aborted_ = false;
};

}  // namespace

WinHttpFactory::WinHttpFactory(int operationTimeoutMs)
    : session_(std::make_shared<WinHttpSession>()), operationTimeoutMs_(operationTimeoutMs) {}

WinHttpFactory::~WinHttpFactory() = default;

bool WinHttpFactory::ok() const { return session_->get() != nullptr; }

std::unique_ptr<HttpRequest> WinHttpFactory::create(const std::wstring&) {
    if (!ok()) return nullptr;
    try {
        return std::make_unique<WinHttpTransportRequest>(session_, static_cast<DWORD>(std::max(1, operationTimeoutMs_)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace hb::win32
