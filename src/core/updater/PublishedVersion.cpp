#include "updater/PublishedVersion.h"

#include "updater/UpdateTexts.h"
#include "updater/VersionText.h"

namespace hb {

std::optional<std::wstring> FetchPublishedVersion(Transfers& transfers, const UpdateSource& source, CheckPace& pace,
                                                  MessageLog& log) {
    // An empty answer is no version at all: comparing it would "update" to
    // nothing on every check while the server is down; and a broken server's
    // page or random bytes would be announced as a version.
    const FailureReport report = pace.nextReport();
    const DownloadResult fetched = transfers.download(source.url(kServerVersionName), report, pace.timeLeftMs());
    const std::wstring version = ServerVersionFromText(fetched.text.value_or(L""));
    if (!fetched) {
        log.add(L"Hoardbook update check failed: the published version " + FailureText(fetched, L""));
        return std::nullopt;
    }
    if (const std::optional<std::wstring> why = WhyNotAVersion(version)) {
        log.add(L"Hoardbook update check failed: the published version " + *why);
        return std::nullopt;
    }
    return version;
}

}  // namespace hb
