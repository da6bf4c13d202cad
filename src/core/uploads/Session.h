#pragma once
// Being logged in: a login the site accepted makes a session and Log Out
// ends it. The uploads go to its site with its login and password, as the
// site accepted them; the window's fields only show them.

#include <optional>
#include <string>

#include "net/Transfers.h"

namespace hb {

struct Session {
    SiteLogin site;

    // The site moved to HTTPS and took an upload there: its new address
    // ("https://host[:port]") from now on.
    void moved(const std::wstring& address) {
        if (!address.empty()) site.host = address;
    }
};

// The login keeps it, the watcher uploads with it; nothing while logged out.
using CurrentSession = std::optional<Session>;

}  // namespace hb
