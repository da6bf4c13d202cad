// The add-on check and the schedule Timer1 keeps for it. A check goes in
// stages, each taking the update source as an argument: the published
// version, the list of files, their install into the add-on folder, and
// the report; the other flavours' add-ons follow the one installed.

#include "updater/AddonUpdater.h"

#include "base/ScopedValue.h"
#include "updater/AddonFolder.h"
#include "updater/AddonPaths.h"
#include "updater/PublishedFileList.h"
#include "updater/PublishedVersion.h"
#include "updater/UpdateSchedule.h"
#include "updater/VersionText.h"

namespace hb {

AddonUpdater::AddonUpdater(FileSystem& files, MessageBoxes& boxes, const Process& process, const Codepage& codepage,
                           MessageLog& log, GameFolders& folders, Transfers& transfers, std::wstring updateHost)
    : files_(files), process_(process), codepage_(codepage), log_(log), folders_(folders), transfers_(transfers),
      source_{std::move(updateHost)}, install_(files, transfers, log), report_(boxes, log),
      flavours_(files, codepage, log) {}

void AddonUpdater::InitializeFolders() {
    std::wstring error;
    EnsureFolder(files_, JoinPath(folders_.GetWoWDir(), kAddonSubfolder), error);
}

std::optional<std::wstring> AddonUpdater::GetMyVersion() {
    InitializeFolders();
    std::wstring path = JoinPath(JoinPath(folders_.GetWoWDir(), kAddonSubfolder), kVersionFileName);
    std::wstring error;
    std::optional<std::string> bytes = files_.readAll(path, error);
    if (!bytes) return std::nullopt;
    return VersionFromTocText(codepage_.fromAnsi(*bytes));
}

void AddonUpdater::Timer1_Timer(bool mayStartCheck) {
    // The counter is reset before the check: ticks that arrive while the
    // check waits for the network count towards the next period.
    if (mayStartCheck && UpdateCheckDue(ticks_)) {
        ticks_ = 0;
        CheckVersionAndDownload();
    }
    ++ticks_;
}

void AddonUpdater::CheckVersionAndDownload() {
    if (checking_) return;
    const bool periodic = startupCheckDone_;
    startupCheckDone_ = true;
    check(periodic ? FailureReport::LogOnly : FailureReport::Box);
}

void AddonUpdater::check(FailureReport report) {
    // Downloads pump window messages; a check never starts inside another.
    if (checking_) return;
    ScopedValue checking(checking_, true);
    const bool periodic = report == FailureReport::LogOnly;

    // Without an update server of its own (a build left with the placeholder
    // host) every check could only fail: say so once instead.
    if (!source_.configured()) {
        if (!periodic) log_.add(L"Add-on updates are off: no update server is set");
        return;
    }
    CheckPace pace(process_, report);

    const std::optional<std::wstring> published = FetchPublishedVersion(transfers_, source_, pace, log_);
    if (!published) return;
    const std::wstring& version = *published;
    // The game's folder is read afresh: the game may have moved.
    const std::wstring addonFolder = JoinPath(folders_.GetWoWDir(), kAddonSubfolder);
    install_.startVersion(version, addonFolder);
    // Installed by this run already: an add-on whose own version text
    // differs from the published one must not be fetched and announced again
    // and again.
    if (install_.versionInstalled() || GetMyVersion() == version) {
        updateOtherFlavours(version, periodic);
        return;
    }

    std::wstring error;
    if (!EnsureFolder(files_, addonFolder, error)) {
        report_.incomplete(version, L"the folder " + addonFolder + L" could not be created: " + error, periodic);
        return;
    }
    const PublishedFileList list = FetchFileList(transfers_, source_, pace, log_);
    if (list.listed.names.empty()) {
        report_.incomplete(version, L"the list of its files " + list.whyNone, periodic);
        return;
    }
    // A version whose files did not all arrive is not installed.
    const InstallOutcome outcome = install_.install(source_, list.listed, addonFolder, pace);
    if (!outcome.complete()) {
        report_.incomplete(version, WhyIncomplete(outcome), periodic);
        return;
    }
    report_.installed(version, GetMyVersion());
    updateOtherFlavours(version, periodic);
}

void AddonUpdater::updateOtherFlavours(const std::wstring& version, bool periodic) {
    const std::wstring source = JoinPath(folders_.GetWoWDir(), kAddonSubfolder);
    report_.flavourFailures(flavours_.update(source, folders_.OtherFlavourFolders(), version), periodic);
}

}  // namespace hb
