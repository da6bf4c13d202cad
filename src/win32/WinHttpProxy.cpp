#include "win32/WinHttpProxy.h"

namespace hb::win32 {

namespace {

LPWSTR Text(const UniqueGlobal& text) { return static_cast<LPWSTR>(text.get()); }

// The user's Internet Options; WinHTTP hands its texts to the caller to free.
struct UserProxyConfig {
    BOOL autoDetect = FALSE;
    UniqueGlobal autoConfigUrl;
    UniqueGlobal proxy;
    UniqueGlobal bypass;
};

bool ReadUserProxyConfig(UserProxyConfig& config) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG raw{};
    if (!::WinHttpGetIEProxyConfigForCurrentUser(&raw)) return false;
    config.autoDetect = raw.fAutoDetect;
    config.autoConfigUrl.reset(raw.lpszAutoConfigUrl);
    config.proxy.reset(raw.lpszProxy);
    config.bypass.reset(raw.lpszProxyBypass);
    return true;
}

bool SetProxy(HINTERNET request, DWORD accessType, LPWSTR proxy, LPWSTR bypass) {
    WINHTTP_PROXY_INFO info{};
    info.dwAccessType = accessType;
    info.lpszProxy = proxy;
    info.lpszProxyBypass = bypass;
    return ::WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &info, sizeof info) != FALSE;
}

}  // namespace

ProxySession OpenProxySession(const wchar_t* userAgent) {
    ProxySession session;
    session.handle.reset(::WinHttpOpen(userAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session.handle) {
        session.handle.reset(::WinHttpOpen(userAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                           WINHTTP_NO_PROXY_BYPASS, 0));
        session.proxyPerRequest = true;
    }
    return session;
}

void ApplyUserProxy(HINTERNET session, HINTERNET request, const std::wstring& url) {
    UserProxyConfig config;
    if (!ReadUserProxyConfig(config)) return;  // no settings: direct
    if (config.autoDetect || config.autoConfigUrl) {
        WINHTTP_AUTOPROXY_OPTIONS options{};
        if (config.autoConfigUrl) {
            options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
            options.lpszAutoConfigUrl = Text(config.autoConfigUrl);
        }
        if (config.autoDetect) {
            options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
            options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
        }
        options.fAutoLogonIfChallenged = TRUE;
        WINHTTP_PROXY_INFO found{};
        if (::WinHttpGetProxyForUrl(session, url.c_str(), &options, &found)) {
            UniqueGlobal proxy(found.lpszProxy);
            UniqueGlobal bypass(found.lpszProxyBypass);
            SetProxy(request, found.dwAccessType, Text(proxy), Text(bypass));
            return;
        }
        // No script or no answer from it: the fixed proxy, if any, as Windows does.
    }
    if (config.proxy) {
        SetProxy(request, WINHTTP_ACCESS_TYPE_NAMED_PROXY, Text(config.proxy), Text(config.bypass));
    }
}

}  // namespace hb::win32
