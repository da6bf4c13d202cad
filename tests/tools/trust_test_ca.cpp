// trust_test_ca
// Adds the test CA of the TLS reference site (the PEM file HB_TEST_CA names,
// exported by tools/with-servers) to the machine's Root store of the Wine
// prefix it runs in: for scripts and demos that run the program against the
// site over HTTPS.

#include <cstdio>
#include <string>

#include "support/TrustedTestCa.h"

int wmain() {
    const std::wstring error = hb::test::TrustTestCa();
    if (!error.empty()) {
        std::fwprintf(stderr, L"trust_test_ca: %ls\n", error.c_str());
        return 1;
    }
    return 0;
}
