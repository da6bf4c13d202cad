#include "updater/UpdateHost.h"

#include <string>
#include <variant>

#include "base/registry.h"
#include "net/SiteUrl.h"
#include "updater/VersionText.h"

namespace hb {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsPlausiblePort(std::wstring_view port) {
    if (port.empty() || port.size() > 5) return false;
    long value = 0;
    for (wchar_t c : port) {
        if (!IsDigit(c)) return false;
        value = value * 10 + (c - L'0');
    }
    return value >= 1 && value <= 65535;
}

bool IsPlausibleName(std::wstring_view name) {
    if (name.empty() || name.size() > 253 || name.front() == L'.' || name.front() == L'-') return false;
    for (wchar_t c : name) {
        if (!IsLetter(c) && !IsDigit(c) && c != L'-' && c != L'.') return false;
    }
    return true;
}

bool IsPlausibleIpv6(std::wstring_view address) {
    if (address.empty()) return false;
    for (wchar_t c : address) {
        bool hex = IsDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
        if (!hex && c != L':' && c != L'.') return false;
    }
    return address.find(L':') != std::wstring_view::npos;
}

}  // namespace

// An https address keeps its scheme (in lower case); a plain one is the bare host.
std::wstring AsSiteAddress(std::wstring_view host) {
    std::wstring address = IsHttpsAddress(host) ? std::wstring(kHttpsScheme) : std::wstring();
    return address + std::wstring(AddressAuthority(host));
}

bool IsConfiguredUpdateHost(std::wstring_view host) {
    host = AddressAuthority(host);
    std::wstring_view name = host.substr(0, host.find(L':'));
    constexpr std::wstring_view kReserved = L".example";
    if (name.empty()) return false;
    if (name.size() < kReserved.size()) return true;
    std::wstring_view tail = name.substr(name.size() - kReserved.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        wchar_t c = tail[i] >= L'A' && tail[i] <= L'Z' ? static_cast<wchar_t>(tail[i] - L'A' + L'a') : tail[i];
        if (c != kReserved[i]) return true;
    }
    return false;
}

bool IsPlausibleUpdateHost(std::wstring_view host) {
    host = AddressAuthority(host);
    std::wstring_view name = host;
    std::wstring_view port;
    bool hasPort = false;
    if (!host.empty() && host.front() == L'[') {
        std::size_t close = host.find(L']');
        if (close == std::wstring_view::npos || !IsPlausibleIpv6(host.substr(1, close - 1))) return false;
        std::wstring_view rest = host.substr(close + 1);
        if (rest.empty()) return true;
        if (rest.front() != L':') return false;
        return IsPlausiblePort(rest.substr(1));
    }
    std::size_t colon = host.find(L':');
    if (colon != std::wstring_view::npos) {
        name = host.substr(0, colon);
        port = host.substr(colon + 1);
        hasPort = true;
    }
    return IsPlausibleName(name) && (!hasPort || IsPlausiblePort(port));
}

std::wstring ResolveUpdateHost(Registry& registry, const std::wstring& defaultHost) {
    RegistryValue value = GetRegistryValue(registry, RegistryRoot::CurrentUser, kUpdateServerKey, kUpdateServerValue);
    if (const auto* text = std::get_if<std::wstring>(&value)) {
        std::wstring host = TrimSpaces(*text);
        if (IsPlausibleUpdateHost(host)) return AsSiteAddress(host);
    }
    return AsSiteAddress(defaultHost);
}

}  // namespace hb
