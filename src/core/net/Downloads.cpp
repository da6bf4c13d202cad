// Downloads for the add-on updater.

#include <exception>
#include <optional>

#include "net/Downloads.h"
#include "net/HttpWait.h"
#include "shell/Form1.h"

namespace hb {

bool IsSuccessStatus(int status) {
    // 1223 is how some XMLHTTP versions report 204 No Content.
    return (status >= 200 && status < 300) || status == 1223;
}

namespace {

void ShowDownloadError(MessageBoxes& boxes, const std::wstring& url, const std::wstring& description) {
    MessageBoxRequest box;
    box.text = L"Error Downloading File: " + url + L"\r\n\r\n" + description;
    boxes.show(box);
}

// The body of a successful answer, or nothing after a reported failure.
std::optional<std::wstring> Download(Form1& form, const std::wstring& url) {
    const Ports& ports = form.ports();
    std::unique_ptr<HttpRequest> request = form.CreateXMLObject();
    std::wstring description;
    try {
        request->Open(L"GET", url, true);
        request->send();
        WaitForCompletion(*request, ports.process, form.options().httpDeadlineMs);
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
    ShowDownloadError(ports.boxes, url, description);
    return std::nullopt;
}

}  // namespace

std::wstring Form1::QuickDownload(const std::wstring& url) { return Download(*this, url).value_or(L""); }

bool Form1::QuickDownloadToFile(const std::wstring& url, const std::wstring& path) {
    std::optional<std::wstring> text = Download(*this, url);
    // The failure has been shown; the file that is there stays as it is.
    if (!text) return false;

    std::wstring error;
    // Written beside the target and swapped in, so a failed write never
    // leaves half an add-on file behind.
    if (ports_.files.replaceAtomically(path, ports_.codepage.toAnsi(*text) + "\r\n", error)) return true;
    MessageBoxRequest box;
    box.text = L"Saving of file " + path + L" Failed for the following reason: " + error;
    ports_.boxes.show(box);
    return false;
}

}  // namespace hb
