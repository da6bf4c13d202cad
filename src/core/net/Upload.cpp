// The upload request to the guild website.

#include <cstddef>
#include <exception>
#include <optional>

#include "net/Downloads.h"
#include "net/HttpWait.h"
#include "net/RetryAfter.h"
#include "net/SiteUrl.h"
#include "net/Transfers.h"
#include "net/UploadBody.h"
#include "net/UploadReport.h"

namespace hb {

namespace {

// The site answers with a short text; anything longer is not its answer.
constexpr std::size_t kUploadAnswerLimit = 64 * 1024;

bool IsRedirect(int status) { return status >= 300 && status < 400; }

// The redirects that keep the method and body when followed by hand.
bool MayCarryTheUpload(int status) { return status == 301 || status == 302 || status == 307 || status == 308; }

// Why an answer with this status is not the site taking the upload. A
// redirect is not followed (but for the site's own move to HTTPS): a
// transport that follows it sends a GET without the file, and another
// host's "Inventory Uploaded" would be taken for the guild site's.
std::wstring StatusFailure(int status) {
    if (IsRedirect(status)) {
        return L"The website answered with a redirect (HTTP status " + std::to_wstring(status) +
               L") instead of taking the upload; the data was not sent on.";
    }
    return L"The website answered with HTTP status " + std::to_wstring(status) + L" instead of taking the upload.";
}

}  // namespace

bool Transfers::post(const std::wstring& url, const SiteLogin& site, const std::string& data, UploadResult& result,
                     std::wstring& location, const bool* cancelled) {
    std::unique_ptr<HttpRequest> request = CreateXMLObject();
    result.url = url;
    try {
        request->Open(L"POST", url, true);
        request->setRequestHeader(L"Content-Type", kUploadContentType);
        request->setResponseLimit(kUploadAnswerLimit);
        // Built per upload and handed over: the program idles for hours
        // between uploads and should not hold a saved-data file's worth of
        // memory meanwhile, and the transport needs no copy of its own.
        std::string body = BuildUploadBody(site.login, site.password, data);
        // A slow uplink is waited for while bytes move; the cap grows with
        // the body, so a large file on a slow line still arrives.
        const WaitBounds bounds{deadlineMs_, UploadTotalMs(totalMs_, body.size())};
        request->send(std::move(body));
        WaitForCompletion(*request, process_, bounds, cancelled);
        result.reply = request->responseText();
        result.status = request->status();
        // Only a success answer to the upload itself counts, whatever its text.
        if (IsSuccessStatus(result.status)) {
            result.answered = true;
            return true;
        }
        if (MayCarryTheUpload(result.status)) location = request->responseHeader(L"Location");
        if (MayAskToRetryLater(result.status)) result.retryAfterMs = RetryAfterMs(request->responseHeader(L"Retry-After"));
        result.failure = StatusFailure(result.status);
    } catch (const Cancelled& error) {
        result.cancelled = true;
        result.failure = error.description();
    } catch (const Failure& error) {
        result.failure = error.description();
    } catch (const std::bad_alloc&) {
        result.failure = L"There is not enough memory to send the data.";
    }
    return false;
}

UploadResult Transfers::send(const SiteLogin& site, const std::string& data, const bool* cancelled) {
    std::wstring url = SiteUrl(site.host, kUploadPage);
    UploadResult result;
    std::wstring location;
    bool answered = post(url, site, data, result, location, cancelled);

    // A site that moved to HTTPS answers the plain address with a redirect
    // to itself; the upload goes there at once, body and all (one hop).
    if (!answered && !location.empty()) {
        if (const std::optional<std::wstring> movedTo = SameHostHttpsMove(url, location)) {
            url = SiteUrl(*movedTo, kUploadPage);
            result = UploadResult{};
            std::wstring ignored;
            answered = post(url, site, data, result, ignored, cancelled);
            if (answered) result.movedTo = *movedTo;
        }
    }
    return result;
}

UploadResult Transfers::upload(const SiteLogin& site, const std::string& data, FailureReport report) {
    UploadResult result = send(site, data);
    if (result.answered) return result;
    reportFailedUpload(result, data, report);
    result.reply.clear();
    return result;
}

void Transfers::reportFailedUpload(const UploadResult& result, const std::string& data, FailureReport report) {
    if (report == FailureReport::Box) {
        MessageBoxRequest box;
        box.text = result.failure;
        boxes_.show(box);
    }
    // The password is never logged; the data is, so the user can see what was lost.
    log_.add(FailedUploadReport(result.url, data, codepage_));
}

}  // namespace hb
