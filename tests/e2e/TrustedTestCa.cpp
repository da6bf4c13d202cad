// The reference servers' test authority is trusted by the whole throwaway
// prefix before any scenario runs: the program checks certificates against
// the machine's store, as on a player's Windows.

#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace hb::e2e {
namespace {

std::string ReadCaFile() {
    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"HB_TEST_CA", path, MAX_PATH) == 0) return {};
    // A Linux path is drive Z: under Wine.
    std::wstring file = path[0] == L'/' ? std::wstring(L"Z:") + path : std::wstring(path);
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class TrustedTestCa : public ::testing::Environment {
public:
    void SetUp() override {
        const std::string pem = ReadCaFile();
        ASSERT_FALSE(pem.empty()) << "HB_TEST_CA names no certificate (run through tools/with-servers)";
        DWORD size = 0;
        ASSERT_TRUE(::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                           nullptr, &size, nullptr, nullptr));
        std::string der(size, '\0');
        ASSERT_TRUE(::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                           reinterpret_cast<BYTE*>(der.data()), &size, nullptr, nullptr));
        HCERTSTORE root = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
        ASSERT_NE(root, nullptr);
        const BOOL added = ::CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING,
                                                              reinterpret_cast<const BYTE*>(der.data()), size,
                                                              CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
        ::CertCloseStore(root, 0);
        ASSERT_TRUE(added) << "error " << ::GetLastError();
    }
};

const auto* const kTrusted = ::testing::AddGlobalTestEnvironment(new TrustedTestCa);

}  // namespace
}  // namespace hb::e2e
