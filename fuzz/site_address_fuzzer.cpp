// The website address the user types or pastes, cut down to the host.
// Input: UTF-8; the first line is also taken as a host and the second as
// a path, pasted in the ways players paste a site's address.

#include "support/FuzzSupport.h"
#include "uploads/SiteAddress.h"

using namespace hb;

namespace {

bool StartsWithSchemeInAnyCase(std::wstring_view text) {
    constexpr std::wstring_view kScheme = L"http://";
    if (text.size() < kScheme.size()) return false;
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        wchar_t c = text[i] >= L'A' && text[i] <= L'Z' ? static_cast<wchar_t>(text[i] - L'A' + L'a') : text[i];
        if (c != kScheme[i]) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring typed = fuzz::Utf16FromUtf8(fuzz::Bytes(data, size));

    const std::wstring host = NormaliseSiteAddress(typed);
    FUZZ_CHECK(host.find_first_of(L" /\\") == std::wstring::npos);
    FUZZ_CHECK(NormaliseSiteAddress(host) == host);

    const std::vector<std::wstring> lines = fuzz::SplitAt<wchar_t>(typed, L'\n');
    if (lines.empty()) return 0;
    const std::wstring& name = lines[0];
    const std::wstring path = lines.size() > 1 ? lines[1] : L"";
    if (name.find_first_of(L" /\\") != std::wstring::npos || StartsWithSchemeInAnyCase(name)) return 0;

    // However the address of a site is pasted, the host is what remains.
    FUZZ_CHECK(NormaliseSiteAddress(name) == name);
    FUZZ_CHECK(NormaliseSiteAddress(L"  " + name + L" ") == name);
    FUZZ_CHECK(NormaliseSiteAddress(L"http://" + name + L"/" + path) == name);
    FUZZ_CHECK(NormaliseSiteAddress(L"HTTP://" + name + L"\\" + path) == name);
    FUZZ_CHECK(NormaliseSiteAddress(L" hTTp:// " + name + L"/forum/") == name);
    return 0;
}
