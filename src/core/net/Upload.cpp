// The upload request to the guild website.

#include <cstddef>
#include <exception>

#include "net/Downloads.h"
#include "net/HttpWait.h"
#include "net/Transfers.h"
#include "net/UploadBody.h"
#include "net/UploadReport.h"

namespace hb {

namespace {

// The site answers with a short text; anything longer is not its answer.
constexpr std::size_t kUploadAnswerLimit = 64 * 1024;

// Why an answer with this status is not the site taking the upload. A
// redirect is not followed: a transport that follows it sends a GET
// without the file, and another host's "Inventory Uploaded" would be
// taken for the guild site's.
std::wstring StatusFailure(int status) {
    if (status >= 300 && status < 400) {
        return L"The website answered with a redirect (HTTP status " + std::to_wstring(status) +
               L") instead of taking the upload; the data was not sent on.";
    }
    return L"The website answered with HTTP status " + std::to_wstring(status) + L" instead of taking the upload.";
}

}  // namespace

UploadResult Transfers::upload(const SiteLogin& site, const std::string& data, FailureReport report) {
    std::unique_ptr<HttpRequest> request = CreateXMLObject();
    const std::wstring url = L"http://" + site.host + kUploadPage;

    UploadResult result;
    try {
        request->Open(L"POST", url, true);
        request->setRequestHeader(L"Content-Type", kUploadContentType);
        request->setResponseLimit(kUploadAnswerLimit);
        // Built per upload and handed over: the program idles for hours
        // between uploads and should not hold a saved-data file's worth of
        // memory meanwhile, and the transport needs no copy of its own.
        request->send(BuildUploadBody(site.login, site.password, data));
        WaitForCompletion(*request, process_, deadlineMs_);
        result.reply = request->responseText();
        result.status = request->status();
        // Only a success answer to the upload itself counts, whatever its text.
        if (IsSuccessStatus(result.status)) {
            result.answered = true;
            return result;
        }
        result.failure = StatusFailure(result.status);
    } catch (const Failure& error) {
        result.failure = error.description();
    } catch (const std::bad_alloc&) {
        result.failure = L"There is not enough memory to send the data.";
    }

    // Failed: free the connection and its buffers while the user reads the box.
    request.reset();
    if (report == FailureReport::Box) {
        MessageBoxRequest box;
        box.text = result.failure;
        boxes_.show(box);
    }
    // The password is never logged; the data is, so the user can see what was lost.
    log_.add(FailedUploadReport(url, data, codepage_));
    result.reply.clear();
    return result;
}

}  // namespace hb
