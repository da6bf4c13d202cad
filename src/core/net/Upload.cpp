// The upload request to the guild website.

#include <cstddef>
#include <exception>
#include <utility>

#include "net/HttpWait.h"
#include "net/UploadBody.h"
#include "net/UploadReport.h"
#include "shell/Form1.h"

namespace hb {

namespace {
// The site answers with a short text; anything longer is not its answer.
constexpr std::size_t kUploadAnswerLimit = 64 * 1024;
}  // namespace

std::wstring Form1::GetXML(const std::string& data) {
    // Read at once: a request nested in the wait below must not see it.
    const bool quiet = std::exchange(quietNextUploadFailure_, false);
    std::unique_ptr<HttpRequest> request = CreateXMLObject();
    const std::wstring host = ports_.window.text(Control::URL);
    const std::wstring url = L"http://" + host + kUploadPage;

    std::wstring description;
    try {
        request->Open(L"POST", url, true);
        request->setRequestHeader(L"Content-Type", kUploadContentType);
        request->setResponseLimit(kUploadAnswerLimit);
        // Built per upload and handed over: the program idles for hours
        // between uploads and should not hold a saved-data file's worth of
        // memory meanwhile, and the transport needs no copy of its own.
        request->send(
            BuildUploadBody(ports_.window.text(Control::Login), ports_.window.text(Control::Password), data));
        WaitForCompletion(*request, ports_.process, options_.httpDeadlineMs);
        std::wstring reply = request->responseText();
        lastUploadFailed_ = false;
        return reply;
    } catch (const HttpError& error) {
        description = error.description();
    } catch (const std::bad_alloc&) {
        description = L"There is not enough memory to send the data.";
    }

    // Given up: free the connection and its buffers while the user reads the box.
    request.reset();
    if (!quiet) {
        MessageBoxRequest box;
        box.text = description;
        ports_.boxes.show(box);
    }
    // The password is never logged; the data is, so the user can see what was lost.
    AddMessage(FailedUploadReport(url, data, ports_.codepage));
    lastUploadFailed_ = true;
    return {};
}

}  // namespace hb
