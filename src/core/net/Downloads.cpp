// Downloads for the add-on updater.

#include "net/Downloads.h"

#include <algorithm>
#include <cstddef>
#include <exception>

#include "net/HttpWait.h"
#include "net/Transfers.h"

namespace hb {

namespace {
// The version file and the file list are a few lines; an add-on file is
// kilobytes. The bounds keep a broken server from filling memory or disk.
constexpr std::size_t kListAnswerLimit = 64 * 1024;
constexpr std::size_t kAddonFileLimit = 16 * 1024 * 1024;
}  // namespace

bool IsSuccessStatus(int status) {
    // 1223 is how some XMLHTTP versions report 204 No Content.
    return (status >= 200 && status < 300) || status == 1223;
}

DownloadResult Transfers::download(const std::wstring& url, FailureReport report, std::int64_t totalMs) {
    DownloadResult failed;
    std::unique_ptr<HttpRequest> request = fetch(url, kListAnswerLimit, report, totalMs, failed);
    if (!request) return failed;
    try {
        return {request->responseText(), {}};
    } catch (const Failure& error) {
        return failedDownload(L"Error Downloading File: " + url + L"\r\n\r\n" + error.description(),
                              error.description(), report);
    }
}

std::unique_ptr<HttpRequest> Transfers::fetch(const std::wstring& url, std::size_t maxBytes, FailureReport report,
                                              std::int64_t totalMs, DownloadResult& failed) {
    std::unique_ptr<HttpRequest> request = CreateXMLObject();
    std::wstring description;
    try {
        request->Open(L"GET", url, true);
        request->setResponseLimit(maxBytes);
        request->send();
        // A slow update server is waited for as long as bytes keep coming;
        // only the caller's total bound (the start-up check's) is firm.
        const int idleMs = std::min(deadlineMs_, kDownloadDeadlineMs);
        WaitForCompletion(*request, process_, WaitBounds{idleMs, std::min(totalMs_, totalMs)});
        const int status = request->status();
        // An error page is not the file: storing it would replace a good
        // add-on file, and reading it as a version would trigger updates.
        if (IsSuccessStatus(status)) return request;
        description = L"The server answered with HTTP status " + std::to_wstring(status) + L".";
    } catch (const Failure& error) {
        description = error.description();
    } catch (const std::bad_alloc&) {
        description = L"There is not enough memory for the download.";
    }
    request.reset();
    failed = failedDownload(L"Error Downloading File: " + url + L"\r\n\r\n" + description, description, report);
    return nullptr;
}

DownloadResult Transfers::downloadToFile(const std::wstring& url, const std::wstring& path, FailureReport report,
                                         std::int64_t totalMs) {
    DownloadResult failed;
    std::unique_ptr<HttpRequest> request = fetch(url, kAddonFileLimit, report, totalMs, failed);
    // The failure has been reported; the file that is there stays as it is.
    if (!request) return failed;

    // The bytes as the server sent them: add-on files carry UTF-8 text
    // (localised names) that no code page conversion may touch.
    std::string bytes;
    try {
        bytes = request->responseBody();
    } catch (const Failure& error) {
        return failedDownload(L"Error Downloading File: " + url + L"\r\n\r\n" + error.description(),
                              error.description(), report);
    }
    request.reset();
    bytes += "\r\n";

    std::wstring error;
    // Written beside the target and swapped in, so a failed write never
    // leaves half an add-on file behind.
    if (files_.replaceAtomically(path, bytes, error)) return {std::wstring(), {}};
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
