#include "uploads/SiteMove.h"

namespace hb {

void AdoptSiteMove(MainWindow& window, SettingsStore& settings, MessageLog& log, const std::wstring& movedTo) {
    if (movedTo.empty() || window.text(Control::URL) == movedTo) return;
    window.setText(Control::URL, movedTo);
    settings.SaveSettings();
    log.add(L"The website moved to " + movedTo + L"; uploads go there from now on");
}

}  // namespace hb
