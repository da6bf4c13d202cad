// The upload request to the guild website.

#include <cstddef>
#include <exception>

#include "net/HttpWait.h"
#include "net/Transfers.h"
#include "net/UploadBody.h"
#include "net/UploadReport.h"

namespace hb {

namespace {
// The site answers with a short text; anything longer is not its answer.
constexpr std::size_t kUploadAnswerLimit = 64 * 1024;
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
        result.answered = true;
        return result;
    } catch (const Failure& error) {
        result.failure = error.description();
    } catch (const std::bad_alloc&) {
        result.failure = L"There is not enough memory to send the data.";
    }

    // Given up: free the connection and its buffers while the user reads the box.
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
