// Downloads for the add-on updater.

#include "net/Downloads.h"

#include <algorithm>
#include <cstddef>
#include <exception>

#include "net/HttpWait.h"
#include "net/Transfers.h"

namespace hb {

namespace {
// The add-on's files are a few kilobytes. A bound shorter than an upload's
// keeps an unreachable update server from holding start-up, which shows the
// window only after the check, for a whole minute (Wine's XMLHTTP never
// completes a failed connection, so the deadline is what ends it there).
constexpr int kDownloadDeadlineMs = 20000;
// The version file and the file list are a few lines; an add-on file is
// kilobytes. The bounds keep a broken server from filling memory or disk.
constexpr std::size_t kListAnswerLimit = 64 * 1024;
constexpr std::size_t kAddonFileLimit = 16 * 1024 * 1024;
}  // namespace

bool IsSuccessStatus(int status) {
    // 1223 is how some XMLHTTP versions report 204 No Content.
    return (status >= 200 && status < 300) || status == 1223;
}

DownloadResult Transfers::download(const std::wstring& url, FailureReport report) {
    return fetch(url, kListAnswerLimit, report);
}

DownloadResult Transfers::fetch(const std::wstring& url, std::size_t maxBytes, FailureReport report) {
    std::unique_ptr<HttpRequest> request = CreateXMLObject();
    std::wstring description;
    try {
        request->Open(L"GET", url, true);
        request->setResponseLimit(maxBytes);
        request->send();
        WaitForCompletion(*request, process_, std::min(deadlineMs_, kDownloadDeadlineMs));
        std::wstring text = request->responseText();
        const int status = request->status();
        // An error page is not the file: storing it would replace a good
        // add-on file, and reading it as a version would trigger updates.
        if (!IsSuccessStatus(status)) {
            description = L"The server answered with HTTP status " + std::to_wstring(status) + L".";
        } else {
            return {std::move(text), {}};
        }
    } catch (const Failure& error) {
        description = error.description();
    } catch (const std::bad_alloc&) {
        description = L"There is not enough memory for the download.";
    }
    request.reset();
    return failedDownload(L"Error Downloading File: " + url + L"\r\n\r\n" + description, description, report);
}

DownloadResult Transfers::downloadToFile(const std::wstring& url, const std::wstring& path, FailureReport report) {
    DownloadResult result = fetch(url, kAddonFileLimit, report);
    // The failure has been reported; the file that is there stays as it is.
    if (!result) return result;

    std::wstring error;
    // Written beside the target and swapped in, so a failed write never
    // leaves half an add-on file behind.
    if (files_.replaceAtomically(path, codepage_.toAnsi(*result.text) + "\r\n", error)) return result;
    const std::wstring message = L"Saving of file " + path + L" Failed for the following reason: " + error;
    return failedDownload(message, message, report);
}

DownloadResult Transfers::failedDownload(const std::wstring& boxText, const std::wstring& failure,
                                         FailureReport report) {
    if (report == FailureReport::Box) {
        MessageBoxRequest box;
        box.text = boxText;
        boxes_.show(box);
    }
    return {std::nullopt, failure};
}

}  // namespace hb
