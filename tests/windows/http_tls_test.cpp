// The WinHTTP transport against the TLS reference site, with the site's
// test CA in the machine's Root store (trusted before the first test):
// requests to the valid certificate go through over TLS; an expired, a
// wrong-name and an untrusted certificate stop the request before anything
// is sent, with a failure that says what is wrong with the certificate. A
// site that asks for a client certificate without requiring one is answered
// without one, as browsers do.
// (Without the CA trusted: http_tls_untrusted_ca_test.cpp.)

#include <gtest/gtest.h>

#include <string>

#include "TlsSite.h"
#include "support/TestCaEnvironment.h"

namespace hb::test {
namespace {

const auto* const trusted = ::testing::AddGlobalTestEnvironment(new TestCaEnvironment);

const std::string kSavedData = "HoardbookData = {\r\n  [\"\xC3\x89lodie\"] = { money = 25 },\r\n}\r\n";

using TrustedTlsSite = TlsSite;

TEST_F(TrustedTlsSite, AnUploadAndADownloadGoOverTls) {
    const Outcome uploaded = upload(Url(L"HB_TLS_PORT", kUploadPage), kSavedData);
    EXPECT_EQ(uploaded.failure, L"");
    EXPECT_EQ(uploaded.status, 200);
    EXPECT_EQ(uploaded.body, "Inventory Uploaded");
    const std::string meta = ReadBytes(latest() / "meta.json");
    EXPECT_NE(meta.find("\"scheme\": \"https\""), std::string::npos) << meta;
    EXPECT_EQ(ReadBytes(latest() / "thefile"), kSavedData);

    publish("Hoardbook.toc", "## Version: 2.0\r\n");
    EXPECT_EQ(downloadText(Url(L"HB_TLS_PORT", L"/files/Hoardbook/Hoardbook.toc")), L"## Version: 2.0\r\n");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(TrustedTlsSite, TheCertificateNamesLocalhostToo) {
    const std::wstring url = L"https://localhost:" + EnvironmentText(L"HB_TLS_PORT") + kUploadPage;
    EXPECT_EQ(upload(url, kSavedData).body, "Inventory Uploaded");
}

TEST_F(TrustedTlsSite, ASiteThatAsksForAnOptionalClientCertificateGetsTheUploadOnce) {
    const int before = received();
    const Outcome uploaded = upload(Url(L"HB_TLS_CLIENT_CERT_PORT", kUploadPage), kSavedData);
    EXPECT_EQ(uploaded.failure, L"");
    EXPECT_EQ(uploaded.status, 200);
    EXPECT_EQ(uploaded.body, "Inventory Uploaded");
    ASSERT_EQ(received(), before + 1) << "stored once, whole";
    EXPECT_EQ(ReadBytes(latest() / "thefile"), kSavedData);

    publish("Hoardbook.toc", "## Version: 2.1\r\n");
    EXPECT_EQ(downloadText(Url(L"HB_TLS_CLIENT_CERT_PORT", L"/files/Hoardbook/Hoardbook.toc")), L"## Version: 2.1\r\n");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(TrustedTlsSite, ARefusedCertificateStopsTheRequestAndSaysWhy) {
    const struct {
        const wchar_t* port;
        std::wstring failure;
    } cases[] = {
        {L"HB_TLS_EXPIRED_PORT",
         L"The website's certificate is not trusted: it has expired or is not valid yet; nothing was sent."},
        {L"HB_TLS_WRONG_NAME_PORT",
         L"The website's certificate is not trusted: it was issued for another name than 127.0.0.1; nothing was "
         L"sent."},
        {L"HB_TLS_UNTRUSTED_PORT",
         L"The website's certificate is not trusted: it was not issued by an authority this computer trusts; "
         L"nothing was sent."},
    };
    for (const auto& c : cases) {
        const int before = received();
        const Outcome outcome = upload(Url(c.port, kUploadPage), kSavedData);
        EXPECT_EQ(outcome.failure, c.failure);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(received(), before) << "nothing arrives";

        // A download fails the same way, with the core's message around it.
        boxes.shown.clear();
        const std::wstring url = Url(c.port, L"/files/Hoardbook/Hoardbook.toc");
        EXPECT_EQ(downloadText(url), L"");
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, L"Error Downloading File: " + url + L"\r\n\r\n" + c.failure);
    }
}

TEST_F(TrustedTlsSite, AServerThatSpeaksNoTlsIsAFailedSecureConnection) {
    const int before = received();
    const Outcome outcome = upload(Url(L"HB_SITE_PORT", kUploadPage), kSavedData);
    EXPECT_EQ(outcome.failure, L"A secure connection with the website could not be made; nothing was sent.");
    EXPECT_EQ(received(), before);
}

}  // namespace
}  // namespace hb::test
