#include "settings/SettingsLocation.h"

#include <optional>

#include "base/TextCase.h"

namespace hb {

SettingsLocation::SettingsLocation(FileSystem& files, const Process& process) : files_(files), process_(process) {}

std::wstring SettingsLocation::perUserFolder() const {
    const std::wstring appData = process_.localAppDataFolder();
    return appData.empty() ? std::wstring() : appData + L"\\" + kPerUserFolderName;
}

const std::wstring& SettingsLocation::folder() {
    if (!decided_) {
        decided_ = true;
        folder_ = process_.executableFolder();
        const std::wstring perUser = perUserFolder();
        // Without a per-user folder there is nowhere better: the saves then
        // fail beside the program and say so in the log.
        if (!perUser.empty() && !files_.folderWritable(folder_)) {
            std::wstring ignored;  // a folder that cannot be made shows in the saves' failures
            if (!files_.folderExists(perUser)) files_.createFolder(perUser, ignored);
            folder_ = perUser;
            besideProgram_ = false;
        }
    }
    return folder_;
}

void SettingsLocation::prepare(MessageLog& log) {
    const std::wstring chosen = folder();
    if (!besideProgram_) {
        log.add(L"Settings are kept in " + chosen + L", because the program's folder " + process_.executableFolder() +
                L" cannot be written to");
    }
    if (!holdsFiles(chosen)) takeOverEarlierFiles(log);
}

bool SettingsLocation::holdsFiles(const std::wstring& folder) {
    return files_.pathExists(folder + L"\\" + kSettingsFileName) ||
           files_.pathExists(folder + L"\\" + kExclusionFileName);
}

std::vector<std::wstring> SettingsLocation::earlierPlaces() {
    const std::wstring chosen = folder();
    std::vector<std::wstring> places;
    auto add = [&](const std::optional<std::wstring>& place) {
        if (!place || place->empty() || SameWithoutCase(*place, chosen)) return;
        for (const auto& known : places) {
            if (SameWithoutCase(known, *place)) return;
        }
        places.push_back(*place);
    };
    // Where a folder could not be written, an earlier version (a program
    // without a manifest) had its files redirected to the VirtualStore, and
    // read them from there first: that copy is the newer one.
    const std::wstring program = process_.executableFolder();
    const std::wstring working = process_.workingFolder();
    add(process_.virtualStoreFolder(program));
    add(program);
    add(perUserFolder());
    add(process_.virtualStoreFolder(working));
    add(working);
    return places;
}

void SettingsLocation::takeOverEarlierFiles(MessageLog& log) {
    const std::wstring chosen = folder();
    for (const std::wstring& place : earlierPlaces()) {
        if (!holdsFiles(place)) continue;
        // Both from the same place: a login and the exclusions that go with it.
        std::wstring taken;
        for (const wchar_t* name : {kSettingsFileName, kExclusionFileName}) {
            const std::wstring from = place + L"\\" + name;
            if (!files_.pathExists(from)) continue;
            // The bytes as they are: the reader judges them (a damaged file
            // stays recognisable as damaged).
            std::wstring error;
            const std::optional<std::string> bytes = files_.readAll(from, error);
            if (bytes && files_.replaceAtomically(chosen + L"\\" + name, *bytes, error)) {
                taken += (taken.empty() ? L"" : L" and ") + std::wstring(name);
            } else {
                log.add(L"Could not take over " + from + L": " + error);
            }
        }
        if (!taken.empty()) log.add(L"Took over " + taken + L" from " + place);
        return;
    }
}

}  // namespace hb
