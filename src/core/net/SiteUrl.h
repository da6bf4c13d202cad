#pragma once
// Site addresses as the address box, settings.txt and the update server's
// registry value hold them: "host[:port]" for plain HTTP, as every earlier
// version wrote them, or "https://host[:port]" for a site served over TLS.
// Only these two forms exist, so an older settings file keeps its meaning.

#include <optional>
#include <string>
#include <string_view>

namespace hb {

inline constexpr std::wstring_view kHttpsScheme = L"https://";
inline constexpr std::wstring_view kHttpScheme = L"http://";

// Whether text starts with scheme, in any letter case.
bool StartsWithScheme(std::wstring_view text, std::wstring_view scheme);

// Whether the address names a site served over TLS.
bool IsHttpsAddress(std::wstring_view address);

// The address without its scheme: "host[:port]".
std::wstring_view AddressAuthority(std::wstring_view address);

// The URL of path on the site: "http://" + address + path for a bare host,
// "https://" + host + path for an https address.
std::wstring SiteUrl(std::wstring_view address, std::wstring_view path);

// "http://" or "https://": the scheme the address is reached by, as the
// label left of the address box shows it.
std::wstring SchemeLabel(std::wstring_view address);

// A site that moved to HTTPS answers a plain-HTTP request with a redirect
// whose Location is the same page on the same host name over https (any
// port). Returns the new address "https://host[:port]" when location is
// exactly that move for requestUrl, nothing for any other redirect (another
// host or path, a downgrade, credentials in the URL, a relative location).
std::optional<std::wstring> SameHostHttpsMove(std::wstring_view requestUrl, std::wstring_view location);

}  // namespace hb
