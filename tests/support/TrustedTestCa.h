#pragma once
// The test CA of the TLS reference site (tools/with-servers exports its PEM
// file as HB_TEST_CA, a Linux path) in the machine's Root store, through the
// certificate API, so WinHTTP trusts the site as Windows trusts a real one.
// Under Wine each test program has a throwaway prefix, so a program trusts
// it once for itself. On Windows, changing the machine's store needs an
// elevated process. Needs no test framework: the end-to-end tests and the
// trust-test-ca tool use it too.

#include <string>

namespace hb::test {

// The CA's file as Windows sees it: Z: + the Linux path under Wine; a
// Windows path is taken as it is. Empty without HB_TEST_CA.
std::wstring TestCaPath();

// Adds the CA to the local machine's Root store. Returns an empty text on
// success, else what failed. There is no way back within a prefix: Wine's
// Root store keeps a certificate that is deleted from it, so a test that
// needs the CA untrusted runs in a program (and prefix) of its own.
std::wstring TrustTestCa();

}  // namespace hb::test
