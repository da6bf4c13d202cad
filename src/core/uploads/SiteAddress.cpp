#include "uploads/SiteAddress.h"

#include <algorithm>

namespace hb {

namespace {

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool StartsWithHttpScheme(const std::wstring& text) {
    static constexpr std::wstring_view kScheme = L"http://";
    if (text.size() < kScheme.size()) return false;
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        if (AsciiLower(text[i]) != kScheme[i]) return false;
    }
    return true;
}

}  // namespace

std::wstring NormaliseSiteAddress(std::wstring address) {
    const auto first = address.find_first_not_of(L' ');
    address = first == std::wstring::npos ? std::wstring() : address.substr(first, address.find_last_not_of(L' ') - first + 1);
    address.erase(std::remove(address.begin(), address.end(), L' '), address.end());
    std::replace(address.begin(), address.end(), L'\\', L'/');
    if (StartsWithHttpScheme(address)) address.erase(0, 7);
    if (auto slash = address.find(L'/'); slash != std::wstring::npos) address.resize(slash);
    return address;
}

}  // namespace hb
