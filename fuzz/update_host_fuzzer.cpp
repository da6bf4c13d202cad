// The update server's host from the per-user registry value: what passes
// as plausible must make the URL it is put in name that host and nothing
// else.
// Input: the value's text, a character per byte (Latin-1), with or without
// an "http://" or "https://" in front.

#include "fakes/FakeProcess.h"
#include "fakes/FakeRegistry.h"
#include "support/FuzzSupport.h"
#include "net/SiteUrl.h"
#include "updater/AddonPaths.h"
#include "updater/UpdateHost.h"
#include "updater/VersionText.h"

using namespace hb;

namespace {

constexpr std::wstring_view kDefaultHost = L"updates.hoardbook.example";

// The authority of an http or https URL: from after the scheme to the
// first "/", "?" or "#".
std::wstring_view AuthorityOf(std::wstring_view url) {
    url.remove_prefix(url.find(L"://") + 3);
    return url.substr(0, url.find_first_of(L"/?#"));
}

// The address as the program keeps it: "https://" in lower case for TLS, the bare host otherwise.
std::wstring Canonical(std::wstring_view address) {
    return (IsHttpsAddress(address) ? std::wstring(L"https://") : std::wstring()) +
           std::wstring(AddressAuthority(address));
}

void CheckPlausibleHost(std::wstring_view address) {
    // Over TLS exactly when the address says so.
    const std::wstring url = UpdateBaseUrl(address);
    FUZZ_CHECK(url.starts_with(IsHttpsAddress(address) ? L"https://" : L"http://"));
    const std::wstring_view host = AddressAuthority(address);
    // Only a host and a port: no user name, no blanks, no path.
    FUZZ_CHECK(!host.empty());
    FUZZ_CHECK(host.find_first_not_of(L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.:[]") ==
               std::wstring_view::npos);
    FUZZ_CHECK(AuthorityOf(url) == host);
    FUZZ_CHECK(url.ends_with(L"/files/Hoardbook/"));
    // A port, when given, is a number from 1 to 65535.
    const std::size_t colon = host.rfind(L':');
    const std::size_t bracket = host.rfind(L']');
    if (colon != std::wstring_view::npos && (bracket == std::wstring_view::npos || colon > bracket)) {
        const std::wstring_view port = host.substr(colon + 1);
        FUZZ_CHECK(!port.empty() && port.size() <= 5);
        FUZZ_CHECK(port.find_first_not_of(L"0123456789") == std::wstring_view::npos);
        const long number = std::stol(std::wstring(port));
        FUZZ_CHECK(number >= 1 && number <= 65535);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string value(fuzz::Bytes(data, size));
    test::Latin1Codepage codepage;
    const std::wstring text = codepage.fromAnsi(value);

    if (IsPlausibleUpdateHost(text)) CheckPlausibleHost(text);

    // A host under the reserved ".example" domain never counts as set.
    const std::wstring authority(AddressAuthority(text));
    const std::wstring name = authority.substr(0, authority.find(L':'));
    std::wstring tail = name.size() >= 8 ? name.substr(name.size() - 8) : L"";
    for (wchar_t& c : tail) c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    if (tail == L".example") FUZZ_CHECK(!IsConfiguredUpdateHost(text));
    if (name.empty()) FUZZ_CHECK(!IsConfiguredUpdateHost(text));

    test::FakeRegistry registry;
    registry.putString(RegistryRoot::CurrentUser, kUpdateServerKey, kUpdateServerValue, text);
    const std::wstring resolved = ResolveUpdateHost(registry, std::wstring(kDefaultHost));
    FUZZ_CHECK(resolved == kDefaultHost || IsPlausibleUpdateHost(resolved));
    // The value, once its blanks are trimmed, is used whenever it is plausible.
    if (IsPlausibleUpdateHost(TrimSpaces(text))) FUZZ_CHECK(resolved == Canonical(TrimSpaces(text)));
    FUZZ_CHECK(registry.openKeys() == 0);
    return 0;
}
