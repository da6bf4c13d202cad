#pragma once
// The site, login and password as the window's fields hold them.

#include "net/Transfers.h"
#include "ports/MainWindow.h"

namespace hb {

inline SiteLogin SiteLoginOf(const MainWindow& window) {
    return {window.text(Control::URL), window.text(Control::Login), window.text(Control::Password)};
}

}  // namespace hb
