#include "net/SiteUrl.h"

namespace hb {

namespace {

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// An absolute URL cut into what a same-host move compares.
struct UrlParts {
    std::wstring_view hostName;  // brackets of an IPv6 address included
    std::wstring_view port;      // empty when none was given
    std::wstring_view path;      // from the first "/" on, query included
};

bool IsPort(std::wstring_view text) {
    if (text.empty() || text.size() > 5) return false;
    unsigned value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value >= 1 && value <= 65535;
}

std::optional<UrlParts> SplitUrl(std::wstring_view url, std::wstring_view scheme) {
    if (!StartsWithScheme(url, scheme)) return std::nullopt;
    url.remove_prefix(scheme.size());
    const std::size_t slash = url.find(L'/');
    std::wstring_view authority = url.substr(0, slash);
    UrlParts parts;
    parts.path = slash == std::wstring_view::npos ? std::wstring_view(L"/") : url.substr(slash);
    // Credentials in a redirect would send the upload to whoever they name.
    if (authority.empty() || authority.find(L'@') != std::wstring_view::npos) return std::nullopt;
    const std::size_t closing = authority.rfind(L']');
    const std::size_t colon = authority.rfind(L':');
    if (colon != std::wstring_view::npos && (closing == std::wstring_view::npos || colon > closing)) {
        parts.port = authority.substr(colon + 1);
        if (!IsPort(parts.port)) return std::nullopt;
        authority = authority.substr(0, colon);
    }
    if (authority.empty()) return std::nullopt;
    parts.hostName = authority;
    return parts;
}

}  // namespace

bool StartsWithScheme(std::wstring_view text, std::wstring_view scheme) {
    return text.size() >= scheme.size() && EqualIgnoringCase(text.substr(0, scheme.size()), scheme);
}

bool IsHttpsAddress(std::wstring_view address) { return StartsWithScheme(address, kHttpsScheme); }

std::wstring_view AddressAuthority(std::wstring_view address) {
    if (IsHttpsAddress(address)) return address.substr(kHttpsScheme.size());
    if (StartsWithScheme(address, kHttpScheme)) return address.substr(kHttpScheme.size());
    return address;
}

std::wstring SiteUrl(std::wstring_view address, std::wstring_view path) {
    std::wstring url = SchemeLabel(address);
    url += AddressAuthority(address);
    url += path;
    return url;
}

std::wstring SchemeLabel(std::wstring_view address) {
    return std::wstring(IsHttpsAddress(address) ? kHttpsScheme : kHttpScheme);
}

std::optional<std::wstring> SameHostHttpsMove(std::wstring_view requestUrl, std::wstring_view location) {
    const std::optional<UrlParts> from = SplitUrl(requestUrl, kHttpScheme);
    const std::optional<UrlParts> to = SplitUrl(location, kHttpsScheme);
    if (!from || !to) return std::nullopt;
    if (!EqualIgnoringCase(from->hostName, to->hostName) || from->path != to->path) return std::nullopt;
    std::wstring moved(kHttpsScheme);
    moved += from->hostName;  // the user's own spelling of the same name
    if (!to->port.empty()) {
        moved += L':';
        moved += to->port;
    }
    return moved;
}

}  // namespace hb
