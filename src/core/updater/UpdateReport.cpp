#include "updater/UpdateReport.h"

#include "updater/UpdateTexts.h"

namespace hb {

std::wstring WhyIncomplete(const InstallOutcome& outcome) {
    std::vector<std::wstring> reasons;
    if (!outcome.failed.empty()) reasons.push_back(L"these files failed: " + JoinNames(outcome.failed));
    if (outcome.refused > 0) {
        reasons.push_back(std::to_wstring(outcome.refused) + L" more files were listed than an update may have");
    }
    if (outcome.outOfTime > 0) {
        reasons.push_back(L"the check ran out of time with " + std::to_wstring(outcome.outOfTime) +
                          L" files left; they are fetched at the next check");
    }
    std::wstring why;
    for (const std::wstring& reason : reasons) why += (why.empty() ? L"" : L"; ") + reason;
    return why;
}

void UpdateReport::incomplete(const std::wstring& version, const std::wstring& why, bool periodic) {
    std::wstring text = L"Hoardbook could not be updated to version " + version + L": " + why;
    if (!periodic) {
        boxes_.show({text});
    } else if (text == lastIncompleteLogged_) {
        return;  // said already; the check goes on every half hour
    }
    lastIncompleteLogged_ = text;
    log_.add(text);
}

void UpdateReport::installed(const std::wstring& version, const std::optional<std::wstring>& ownVersion) {
    lastIncompleteLogged_.clear();
    if (ownVersion != version) {
        log_.add(L"Hoardbook update: the installed add-on calls itself version " + Printable(ownVersion.value_or(L"")) +
                 L", not " + version + L" as the update server publishes it; it is not fetched again for that");
    }
    boxes_.show({L"Hoardbook has been updated to version " + version});
    log_.add(L"Hoardbook Mod Updated to version " + version);
}

void UpdateReport::flavourFailures(const std::vector<std::wstring>& failures, bool periodic) {
    if (periodic) return;
    for (const std::wstring& failure : failures) boxes_.show({failure});
}

}  // namespace hb
