#pragma once
// Which update server the add-on comes from.
//
// The build fixes a default of our own (CMake's HOARDBOOK_UPDATE_HOST). The
// program takes no command line or environment, so a per-user registry value
// overrides it: HKEY_CURRENT_USER\Software\HoardbookUploader, value
// "UpdateServer", a REG_SZ "host" or "host:port" (plain HTTP), or the same
// after "https://" (TLS, with the system's certificate checks). Tests and the demo point
// the program at the reference server on loopback this way; a value that
// is not a plausible host is ignored, so a typo cannot send requests to an
// address built from arbitrary text.

#include <string>
#include <string_view>

#include "ports/Registry.h"

namespace hb {

inline constexpr const wchar_t* kUpdateServerKey = L"Software\\HoardbookUploader";
inline constexpr const wchar_t* kUpdateServerValue = L"UpdateServer";

// "name" or "name:port", with "http://" or "https://" in front or not: name
// made of letters, digits, "-" and ".", or an IPv6 address in brackets;
// port 1 to 65535.
bool IsPlausibleUpdateHost(std::wstring_view host);

// Whether the host can name a real server: not empty and not under the
// reserved ".example" domain, which never resolves (the build's placeholder).
bool IsConfiguredUpdateHost(std::wstring_view host);

// The registry's "UpdateServer" (trimmed of spaces) when it holds a plausible
// host, otherwise defaultHost; either as an address of net/SiteUrl.h
// ("host[:port]" or "https://host[:port]").
std::wstring ResolveUpdateHost(Registry& registry, const std::wstring& defaultHost);

}  // namespace hb
