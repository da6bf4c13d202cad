// Downloads for the add-on updater.

#include <algorithm>
#include <cstddef>
#include <exception>
#include <optional>

#include "net/Downloads.h"
#include "net/HttpWait.h"
#include "shell/Form1.h"

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

std::optional<std::wstring> Form1::Download(const std::wstring& url, std::size_t maxBytes) {
    std::unique_ptr<HttpRequest> request = CreateXMLObject();
    std::wstring description;
    try {
        request->Open(L"GET", url, true);
        request->setResponseLimit(maxBytes);
        request->send();
        WaitForCompletion(*request, ports_.process, std::min(options_.httpDeadlineMs, kDownloadDeadlineMs));
        std::wstring text = request->responseText();
        const int status = request->status();
        // An error page is not the file: storing it would replace a good
        // add-on file, and reading it as a version would trigger updates.
        if (!IsSuccessStatus(status)) {
            description = L"The server answered with HTTP status " + std::to_wstring(status) + L".";
        } else {
            return text;
        }
    } catch (const HttpError& error) {
        description = error.description();
    } catch (const std::bad_alloc&) {
        description = L"There is not enough memory for the download.";
    }
    request.reset();
    reportDownloadFailure(L"Error Downloading File: " + url + L"\r\n\r\n" + description, description);
    return std::nullopt;
}

void Form1::reportDownloadFailure(const std::wstring& boxText, const std::wstring& reason) {
    lastDownloadFailure_ = reason;
    // The updater's periodic checks log their failures instead.
    if (quietDownloads_) return;
    MessageBoxRequest box;
    box.text = boxText;
    ports_.boxes.show(box);
}

std::wstring Form1::QuickDownload(const std::wstring& url) { return Download(url, kListAnswerLimit).value_or(L""); }

bool Form1::QuickDownloadToFile(const std::wstring& url, const std::wstring& path) {
    std::optional<std::wstring> text = Download(url, kAddonFileLimit);
    // The failure has been shown; the file that is there stays as it is.
    if (!text) return false;

    std::wstring error;
    // Written beside the target and swapped in, so a failed write never
    // leaves half an add-on file behind.
    if (ports_.files.replaceAtomically(path, ports_.codepage.toAnsi(*text) + "\r\n", error)) return true;
    const std::wstring message = L"Saving of file " + path + L" Failed for the following reason: " + error;
    reportDownloadFailure(message, message);
    return false;
}

}  // namespace hb
