// The TLS reference site when nothing trusts its test CA (a program and
// Wine prefix of its own: Wine's Root store keeps a certificate deleted
// from it): the certificate that is valid in every other respect counts as
// untrusted.

#include <gtest/gtest.h>

#include <string>

#include "TlsSite.h"

namespace hb::test {
namespace {

using UntrustedTlsSite = TlsSite;

TEST_F(UntrustedTlsSite, TheSitesOwnCertificateIsNotTrusted) {
    const int before = received();
    const Outcome outcome = upload(Url(L"HB_TLS_PORT", kUploadPage), "HoardbookData = {}\r\n");
    EXPECT_EQ(outcome.failure,
              L"The website's certificate is not trusted: it was not issued by an authority this computer trusts; "
              L"nothing was sent.");
    EXPECT_EQ(received(), before);
}

}  // namespace
}  // namespace hb::test
