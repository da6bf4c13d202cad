#pragma once
// A site that moved to HTTPS took an upload at its new address: from now
// on the address box shows, settings.txt keeps and every upload uses it.

#include <string>

#include "ports/MainWindow.h"
#include "ports/MessageLog.h"
#include "settings/SettingsStore.h"

namespace hb {

void AdoptSiteMove(MainWindow& window, SettingsStore& settings, MessageLog& log, const std::wstring& movedTo);

}  // namespace hb
