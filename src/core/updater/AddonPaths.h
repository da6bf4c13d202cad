#pragma once
// Where the add-on lives on disk and on the update server.

#include <string>
#include <string_view>

#include "net/SiteUrl.h"

namespace hb {

inline constexpr std::wstring_view kAddonSubfolder = L"Interface\\Addons\\Hoardbook";
inline constexpr std::wstring_view kVersionFileName = L"Hoardbook.toc";
inline constexpr std::wstring_view kServerVersionName = L"HoardbookVersion";
inline constexpr std::wstring_view kServerFileListName = L"HoardbookFiles";
// The add-on's folder on the update server.
inline constexpr std::wstring_view kServerAddonFolder = L"/files/Hoardbook/";

// base + exactly one separator + relative; a base that already ends in a
// separator gets none added.
inline std::wstring JoinPath(std::wstring_view base, std::wstring_view relative) {
    std::wstring path(base);
    if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path.push_back(L'\\');
    path.append(relative);
    return path;
}

// Whether a listed name is the version file (file names on Windows ignore case).
inline bool IsVersionFileName(std::wstring_view name) {
    if (name.size() != kVersionFileName.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
        if (lower(name[i]) != lower(kVersionFileName[i])) return false;
    }
    return true;
}

// "http://" + host + "/files/Hoardbook/" ("https://host..." for an https
// host); a file's URL is this followed directly by its name, unencoded.
inline std::wstring UpdateBaseUrl(std::wstring_view host) { return SiteUrl(host, kServerAddonFolder); }

}  // namespace hb
