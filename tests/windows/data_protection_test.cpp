// The remembered password's protection with the system's DPAPI: readable
// by this user, refused for anything protected otherwise.

#include <gtest/gtest.h>

#include <windows.h>
#include <dpapi.h>

#include <string>

#include "settings/PasswordLine.h"
#include "win32/Win32DataProtection.h"

namespace hb {
namespace {

// A blob as another program (or DPAPI under another key) would make it.
std::string ProtectedWithOtherEntropy(const std::string& plain) {
    DATA_BLOB in{static_cast<DWORD>(plain.size()), reinterpret_cast<BYTE*>(const_cast<char*>(plain.data()))};
    char other[] = "another program";
    DATA_BLOB entropy{sizeof other - 1, reinterpret_cast<BYTE*>(other)};
    DATA_BLOB out{};
    EXPECT_TRUE(::CryptProtectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out));
    std::string blob(reinterpret_cast<const char*>(out.pbData), out.cbData);
    ::LocalFree(out.pbData);
    return blob;
}

TEST(DataProtection, RoundTripsForThisUserAndHidesThePlainBytes) {
    const win32::Win32DataProtection protection;
    const std::string plain = "gold & glory \xD0\xB7\xD0\xBE\xD0\xBB";
    const auto blob = protection.protect(plain);
    ASSERT_TRUE(blob.has_value());
    EXPECT_EQ(blob->find("gold"), std::string::npos);
    EXPECT_EQ(protection.unprotect(*blob).value_or("(refused)"), plain);
    EXPECT_NE(protection.protect(plain), blob) << "each protection is salted";
}

TEST(DataProtection, RefusesWhatItDidNotProtect) {
    const win32::Win32DataProtection protection;
    EXPECT_FALSE(protection.unprotect(ProtectedWithOtherEntropy("secret")).has_value());
    EXPECT_FALSE(protection.unprotect("not a protected blob at all").has_value());
    EXPECT_FALSE(protection.unprotect("").has_value());
    const std::string whole = protection.protect("secret").value();
    EXPECT_FALSE(protection.unprotect(whole.substr(0, whole.size() / 2)).has_value()) << "a blob cut short";
}

TEST(DataProtection, ThePasswordLineComesBackAndAnotherUsersLineCountsAsNone) {
    const win32::Win32DataProtection protection;
    const std::wstring password = L"p\u00e4ss \u5bc6\u7801";
    const std::wstring line = PasswordLineOf(password, protection).value();
    EXPECT_EQ(line.rfind(L"dpapi:", 0), 0u);
    EXPECT_EQ(line.find(L"p\u00e4ss"), std::wstring::npos);
    const RememberedPassword back = ReadPasswordLine(line, protection);
    EXPECT_FALSE(back.unreadable);
    EXPECT_EQ(back.password, password);

    // An earlier version's clear line reads as it is.
    EXPECT_EQ(ReadPasswordLine(L"clear pass", protection).password, L"clear pass");

    const std::string foreign = ProtectedWithOtherEntropy("secret");
    std::wstring foreignLine = L"dpapi:";
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    // base64 by hand, so this test does not lean on the program's encoder
    for (std::size_t i = 0; i < foreign.size(); i += 3) {
        unsigned group = 0;
        const std::size_t n = std::min<std::size_t>(3, foreign.size() - i);
        for (std::size_t k = 0; k < 3; ++k) group = (group << 8) | (k < n ? static_cast<unsigned char>(foreign[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k) foreignLine += k <= n ? static_cast<wchar_t>(digits[(group >> (18 - 6 * k)) & 63]) : L'=';
    }
    const RememberedPassword none = ReadPasswordLine(foreignLine, protection);
    EXPECT_TRUE(none.unreadable);
    EXPECT_EQ(none.password, L"");
}

}  // namespace
}  // namespace hb
