#pragma once
// The TLS reference site that tools/with-servers starts in front of the guild
// site (same folders), reached through the WinHTTP transport and the core:
// ports, the site's received uploads, and one upload or download at a time.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>

#include "HostFiles.h"
#include "net/HttpWait.h"
#include "net/UploadBody.h"
#include "fakes/FakeMessageLog.h"
#include "net/Transfers.h"
#include "shell/Form1.h"
#include "win32/Win32WinHttp.h"
#include "windows/PlatformPorts.h"

namespace hb::test {

// How one request ended: the answer, or the failure's description.
struct Outcome {
    int status = 0;
    std::string body;
    std::wstring failure;
};

class TlsSite : public ::testing::Test, public PlatformPorts {
protected:
    void SetUp() override {
        ASSERT_TRUE(com.ok());
        ASSERT_FALSE(EnvironmentText(L"HB_TLS_PORT").empty()) << "run through tools/with-servers (ctest does)";
        WriteBytes(siteData / "site.json", "{\"accounts\": {\"Officer Bob\": \"s3cret\"}}");
        options.httpDeadlineMs = 20000;
        // The form gives the transfers their way out, as in the program.
        form = std::make_unique<Form1>(use(http).ports(), options);
        window.connect(form.get());
        transfers = std::make_unique<Transfers>(http, boxes, shell, *files, process, form->programExit(), codepage, log,
                                                options.httpDeadlineMs, options.httpTotalMs);
    }
    // A download's text, or nothing after a failure, which is boxed.
    std::wstring downloadText(const std::wstring& url) {
        return transfers->download(url, FailureReport::Box).text.value_or(L"");
    }

    static std::wstring Url(const wchar_t* portVariable, const std::wstring& path) {
        return L"https://127.0.0.1:" + EnvironmentText(portVariable) + path;
    }

    // An upload of data through the transport, as the core sends it.
    Outcome upload(const std::wstring& url, const std::string& data) {
        Outcome outcome;
        try {
            std::unique_ptr<HttpRequest> request = http.create(L"MSXML2.XMLHTTP.6.0");
            request->Open(L"POST", url, true);
            request->setRequestHeader(L"Content-Type", kUploadContentType);
            request->send(BuildUploadBody(L"Officer Bob", L"s3cret", data));
            WaitForCompletion(*request, process, options.httpDeadlineMs);
            outcome.status = request->status();
            outcome.body = request->responseBody();
        } catch (const HttpError& error) {
            outcome.failure = error.description();
        }
        return outcome;
    }

    // How many requests the site has stored, earlier tests' too.
    int received() const { return ReceivedCount(siteData); }
    std::filesystem::path latest() const { return siteData / "received" / std::to_string(received()); }

    void publish(const std::string& name, const std::string& bytes) {
        WriteBytes(siteData / "updates" / "files" / "Hoardbook" / name, bytes);
    }

    const std::filesystem::path siteData = HostPath(EnvironmentText(L"HB_SITE_DATA"));

    // Short, so a worker of a request given up ends soon after its test.
    win32::WinHttpFactory http{5000};
    Options options;
    FakeMessageLog log;
    std::unique_ptr<Form1> form;
    std::unique_ptr<Transfers> transfers;
};

}  // namespace hb::test
