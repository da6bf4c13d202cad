#pragma once
// A form over the platform's ports and one of the two real transports, for
// the tests that run against both: XMLHTTP (Windows' own) and WinHTTP.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "shell/Form1.h"
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

    // Wine's XMLHTTP (on urlmon) has limits the other transport exists for:
    // it never completes a failed connection, for one.
    bool xmlHttpUnderWine() const { return GetParam() == Transport::XmlHttp && win32::RunningUnderWine(); }

    std::unique_ptr<HttpFactory> http_;
    Options options;
    std::unique_ptr<Form1> form;
};

}  // namespace hb::test
