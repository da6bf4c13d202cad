#pragma once
// Where an add-on is published: the update server's address (host and
// scheme) and the add-on's folder there. Each stage of a check takes the
// source as an argument, so another server is another value.

#include <string>
#include <string_view>

#include "net/SiteUrl.h"
#include "updater/AddonPaths.h"
#include "updater/UpdateHost.h"

namespace hb {

struct UpdateSource {
    // "host[:port]" for plain HTTP or "https://host[:port]" (net/SiteUrl.h).
    std::wstring address;
    // The add-on's folder on the server, from the root, ending in "/".
    std::wstring folder = std::wstring(kServerAddonFolder);

    // Whether the address can name a real server (not the build's placeholder).
    bool configured() const { return IsConfiguredUpdateHost(address); }
    // The URL of a name in the add-on's folder: the folder's URL followed
    // directly by the name, unencoded.
    std::wstring url(std::wstring_view name) const { return SiteUrl(address, folder) + std::wstring(name); }
};

}  // namespace hb
