// Which update server the add-on comes from: the build's default unless the
// user's registry names a plausible other one.

#include <gtest/gtest.h>

#include "fakes/FakeProcess.h"
#include "fakes/FakeRegistry.h"
#include "updater/UpdateHost.h"

namespace hb::test {
namespace {

class UpdateHostSetting : public ::testing::Test {
protected:
    std::wstring resolve() { return ResolveUpdateHost(registry, L"updates.hoardbook.example"); }
    void store(const std::wstring& text) {
        registry.putString(RegistryRoot::CurrentUser, kUpdateServerKey, kUpdateServerValue, text);
    }

    FakeRegistry registry;
};

TEST_F(UpdateHostSetting, DefaultWithoutARegistryValue) {
    EXPECT_EQ(resolve(), L"updates.hoardbook.example");
    registry.createKey(RegistryRoot::CurrentUser, kUpdateServerKey);
    EXPECT_EQ(resolve(), L"updates.hoardbook.example");
    EXPECT_EQ(registry.openKeys(), 0) << "the key is closed again";
}

TEST_F(UpdateHostSetting, RegistryValueOverridesTheDefault) {
    store(L"127.0.0.1:8123");
    EXPECT_EQ(resolve(), L"127.0.0.1:8123");
    store(L"  mirror.example.org  ");
    EXPECT_EQ(resolve(), L"mirror.example.org");
    store(L"[::1]:8080");
    EXPECT_EQ(resolve(), L"[::1]:8080");
    // A scheme: https is kept (TLS for the add-on's files), http means the bare host.
    store(L"HTTPS://updates.example.org:8443");
    EXPECT_EQ(resolve(), L"https://updates.example.org:8443");
    store(L"http://updates.example.org");
    EXPECT_EQ(resolve(), L"updates.example.org");
    store(L"[::1]:8080");
    // Only this user's value counts.
    registry.putString(RegistryRoot::LocalMachine, kUpdateServerKey, kUpdateServerValue, L"other.example");
    EXPECT_EQ(resolve(), L"[::1]:8080");
}

TEST_F(UpdateHostSetting, ImplausibleOrNonTextValuesAreIgnored) {
    for (const wchar_t* bad : {L"", L"   ", L"https://", L"https://host/path", L"ftp://host", L"host/path", L"host:0", L"host:65536",
                               L"host:12a", L"host:", L"a b", L"user@host", L"-host", L"[::1", L"[zz]",
                               L"\u0441\u0435\u0440\u0432\u0435\u0440.example"}) {
        store(bad);
        EXPECT_EQ(resolve(), L"updates.hoardbook.example") << bad;
    }
    registry.put(RegistryRoot::CurrentUser, kUpdateServerKey, kUpdateServerValue, reg::REG_DWORD_TYPE, {1, 0, 0, 0});
    EXPECT_EQ(resolve(), L"updates.hoardbook.example");
}

TEST(UpdateHostPlausibility, AcceptsNamesAddressesAndPorts) {
    for (const wchar_t* good : {L"localhost", L"updates.hoardbook.example", L"127.0.0.1:1", L"host:65535", L"[::1]",
                                L"xn--bcher-kva.example:80"}) {
        EXPECT_TRUE(IsPlausibleUpdateHost(good)) << good;
    }
}

}  // namespace
}  // namespace hb::test
