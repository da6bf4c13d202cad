// The website address the user types or pastes, cut down to the host, with
// "https://" kept for a site served over TLS.
// Input: UTF-8; the first line is also taken as a host and the second as
// a path, pasted in the ways players paste a site's address.

#include "net/SiteUrl.h"
#include "support/FuzzSupport.h"
#include "uploads/SiteAddress.h"

using namespace hb;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring typed = fuzz::Utf16FromUtf8(fuzz::Bytes(data, size));

    // "host[:port]" or "https://host[:port]": nothing else survives.
    const std::wstring address = NormaliseSiteAddress(typed);
    const std::wstring_view host = AddressAuthority(address);
    FUZZ_CHECK(host.find_first_of(L" /\\") == std::wstring::npos);
    FUZZ_CHECK(address == host || address == L"https://" + std::wstring(host));
    FUZZ_CHECK(NormaliseSiteAddress(address) == address);

    const std::vector<std::wstring> lines = fuzz::SplitAt<wchar_t>(typed, L'\n');
    if (lines.empty()) return 0;
    const std::wstring& name = lines[0];
    const std::wstring path = lines.size() > 1 ? lines[1] : L"";
    if (name.find_first_of(L" /\\") != std::wstring::npos || StartsWithScheme(name, L"http://") ||
        StartsWithScheme(name, L"https://"))
        return 0;

    // However the address of a site is pasted, the host is what remains,
    // with the scheme only when it is https.
    FUZZ_CHECK(NormaliseSiteAddress(name) == name);
    FUZZ_CHECK(NormaliseSiteAddress(L"  " + name + L" ") == name);
    FUZZ_CHECK(NormaliseSiteAddress(L"http://" + name + L"/" + path) == name);
    FUZZ_CHECK(NormaliseSiteAddress(L"HTTP://" + name + L"\\" + path) == name);
    FUZZ_CHECK(NormaliseSiteAddress(L" hTTp:// " + name + L"/forum/") == name);
    FUZZ_CHECK(NormaliseSiteAddress(L"https://" + name + L"/" + path) == L"https://" + name);
    FUZZ_CHECK(NormaliseSiteAddress(L" HTTPS:\\\\" + name + L"\\" + path) == L"https://" + name);
    // The upload goes to that host, over TLS exactly when the scheme says so.
    FUZZ_CHECK(SiteUrl(name, L"/memberbankupload.php") == L"http://" + name + L"/memberbankupload.php");
    FUZZ_CHECK(SiteUrl(L"https://" + name, L"/memberbankupload.php") == L"https://" + name + L"/memberbankupload.php");
    return 0;
}
