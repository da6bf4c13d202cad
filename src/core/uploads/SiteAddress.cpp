#include "uploads/SiteAddress.h"

#include <algorithm>

#include "net/SiteUrl.h"

namespace hb {

std::wstring NormaliseSiteAddress(std::wstring address) {
    const auto first = address.find_first_not_of(L' ');
    address = first == std::wstring::npos ? std::wstring() : address.substr(first, address.find_last_not_of(L' ') - first + 1);
    address.erase(std::remove(address.begin(), address.end(), L' '), address.end());
    std::replace(address.begin(), address.end(), L'\\', L'/');
    std::wstring scheme;
    if (IsHttpsAddress(address)) {
        scheme = kHttpsScheme;
        address.erase(0, kHttpsScheme.size());
    } else if (StartsWithScheme(address, kHttpScheme)) {
        address.erase(0, kHttpScheme.size());
    }
    if (auto slash = address.find(L'/'); slash != std::wstring::npos) address.resize(slash);
    return scheme + address;
}

}  // namespace hb
