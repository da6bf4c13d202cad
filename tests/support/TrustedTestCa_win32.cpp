#include "support/TrustedTestCa.h"

#include <windows.h>
#include <wincrypt.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace hb::test {

namespace {

struct StoreCloser {
    void operator()(void* store) const { ::CertCloseStore(store, 0); }
};
using UniqueStore = std::unique_ptr<void, StoreCloser>;

std::wstring Failed(const std::wstring& what) { return what + L" (error " + std::to_wstring(::GetLastError()) + L")"; }

// The certificate's DER bytes from its PEM file, or a description of what
// went wrong.
bool ReadCertificate(std::vector<BYTE>& der, std::wstring& error) {
    const std::wstring path = TestCaPath();
    if (path.empty()) {
        error = L"HB_TEST_CA is not set (tools/with-servers sets it)";
        return false;
    }
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    const std::string pem((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (pem.empty()) {
        error = L"cannot read " + path;
        return false;
    }
    DWORD size = 0;
    if (!::CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size,
                                nullptr, nullptr)) {
        error = Failed(L"no PEM certificate in " + path);
        return false;
    }
    der.resize(size);
    if (!::CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                                &size, nullptr, nullptr)) {
        error = Failed(L"cannot decode " + path);
        return false;
    }
    der.resize(size);
    return true;
}

}  // namespace

std::wstring TestCaPath() {
    wchar_t value[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"HB_TEST_CA", value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::wstring path(value, length);
    if (path[0] != L'/') return path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return L"Z:" + path;
}

std::wstring TrustTestCa() {
    std::vector<BYTE> der;
    std::wstring error;
    if (!ReadCertificate(der, error)) return error;
    UniqueStore store(::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
    if (!store) return Failed(L"cannot open the machine's Root store");
    if (!::CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                            CERT_STORE_ADD_REPLACE_EXISTING, nullptr))
        return Failed(L"cannot add the test CA to the machine's Root store");
    return {};
}

}  // namespace hb::test
