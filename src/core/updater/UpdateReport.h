#pragma once
// The check's last stage: telling the player how it went. The check made
// at start-up is watched, so it shows boxes; the periodic one runs while
// the player is in the game, so its failures go to the message log only.
// A completed update is announced in a box either way.

#include <optional>
#include <string>
#include <vector>

#include "ports/MessageBoxes.h"
#include "ports/MessageLog.h"
#include "updater/AddonInstall.h"

namespace hb {

// Why an install did not complete, in words that follow "...: ".
std::wstring WhyIncomplete(const InstallOutcome& outcome);

class UpdateReport {
public:
    UpdateReport(MessageBoxes& boxes, MessageLog& log) : boxes_(boxes), log_(log) {}

    // The version could not be installed, for the reason given: a box and
    // the log at start-up; the periodic check logs a text once until it
    // changes, as it tries again every half hour.
    void incomplete(const std::wstring& version, const std::wstring& why, bool periodic);
    // The version is installed: its box, then its log entry. ownVersion is
    // what the installed add-on calls itself; another text than the
    // published one is logged.
    void installed(const std::wstring& version, const std::optional<std::wstring>& ownVersion);
    // The other flavours' failures (logged already where they happened):
    // a box each at start-up.
    void flavourFailures(const std::vector<std::wstring>& failures, bool periodic);

private:
    MessageBoxes& boxes_;
    MessageLog& log_;
    std::wstring lastIncompleteLogged_;  // the periodic check's last "could not be updated" line
};

}  // namespace hb
