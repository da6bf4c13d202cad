#pragma once
// A form over the platform's ports and one of the two real transports, for
// the tests that run against both: XMLHTTP (Windows' own) and WinHTTP.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "net/Transfers.h"
#include "shell/Form1.h"
#include "shell/MessageLog.h"
#include "win32/Win32Http.h"
#include "win32/Win32WinHttp.h"
#include "win32/Wine.h"
#include "windows/PlatformPorts.h"

namespace hb::test {

enum class Transport { XmlHttp, WinHttp };

// The test's name ends in the transport's.
inline std::string TransportName(const ::testing::TestParamInfo<Transport>& info) {
    return info.param == Transport::XmlHttp ? "XmlHttp" : "WinHttp";
}

class TransportForm : public ::testing::TestWithParam<Transport>, public PlatformPorts {
protected:
    // A new transport of the test's kind, and a form over it with the
    // options as they are now. refused: XMLHTTP class names that cannot be
    // created.
    void makeForm(std::set<std::wstring> refused = {}) {
        if (GetParam() == Transport::XmlHttp) {
            http_ = std::make_unique<win32::Win32HttpFactory>(std::move(refused));
        } else {
            // Short, so lingering workers of abandoned requests end soon after a test.
            http_ = std::make_unique<win32::WinHttpFactory>(5000);
        }
        form = std::make_unique<Form1>(use(*http_).ports(), options);
        window.connect(form.get());
    }

    // makeForm, and the transfers over the same transport and ports, which
    // the tests call as the subsystems do: the form's way out, the window's log.
    void makeTransfers(std::set<std::wstring> refused = {}) {
        makeForm(std::move(refused));
        transfers = std::make_unique<Transfers>(*http_, boxes, shell, *files, process, form->programExit(), codepage,
                                                windowLog, options.httpDeadlineMs, options.httpTotalMs);
    }
    // The upload with the window's fields: the reply, or nothing after a
    // failure, which is boxed and logged.
    std::wstring uploadReply(const std::string& data) {
        const SiteLogin site{window.text(Control::URL), window.text(Control::Login), window.text(Control::Password)};
        return transfers->upload(site, data, FailureReport::Box).reply;
    }
    // A download's text, or nothing after a failure, which is boxed.
    std::wstring downloadText(const std::wstring& url) {
        return transfers->download(url, FailureReport::Box).text.value_or(L"");
    }
    // Whether the download was written to the file; a failure is boxed.
    bool downloadedToFile(const std::wstring& url, const std::wstring& path) {
        return static_cast<bool>(transfers->downloadToFile(url, path, FailureReport::Box));
    }

    // Wine's XMLHTTP (on urlmon) has limits the other transport exists for:
    // it never completes a failed connection, for one.
    bool xmlHttpUnderWine() const { return GetParam() == Transport::XmlHttp && win32::RunningUnderWine(); }

    std::unique_ptr<HttpFactory> http_;
    Options options;
    std::unique_ptr<Form1> form;
    WindowMessageLog windowLog{window, process};
    std::unique_ptr<Transfers> transfers;
};

}  // namespace hb::test
