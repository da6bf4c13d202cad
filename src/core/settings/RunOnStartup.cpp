#include "settings/RunOnStartup.h"

#include <optional>
#include <string>

#include "base/registry.h"

namespace hb {

std::wstring RunValueData(const std::wstring& executableFolder, const std::wstring& executableFileName) {
    return L"\"" + executableFolder + L"\\" + executableFileName + L"\"";
}

namespace {

bool HoldsRunValue(Registry& registry, RegistryRoot root, const std::wstring& expected) {
    RegistryValue value = GetRegistryValue(registry, root, kRunKeyPath, kRunValueName);
    const auto* text = std::get_if<std::wstring>(&value);
    return text != nullptr && *text == expected;
}

RegistryRoot OtherRoot(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
}

// Where the value naming this program is (or is now) stored: a value already
// in place is kept; otherwise the machine-wide one is written, or the current
// user's where that key cannot be written. Nothing when neither could be.
std::optional<RegistryRoot> StoreRunValue(Registry& registry, const std::wstring& data) {
    for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
        if (HoldsRunValue(registry, root, data)) return root;
    }
    for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
        // The registry module reports nothing, so reading back tells whether
        // the write worked.
        SetRegistryString(registry, root, kRunKeyPath, kRunValueName, data);
        if (HoldsRunValue(registry, root, data)) return root;
    }
    return std::nullopt;
}

}  // namespace

RunOnStartup::RunOnStartup(MainWindow& window, FormEvents& events, Registry& registry, FileSystem& files,
                           const Process& process, MessageLog& log)
    : window_(window), events_(events), registry_(registry), files_(files), process_(process), log_(log) {}

void RunOnStartup::StartWithWindows_Click() {
    Registry& registry = registry_;
    const bool wanted = window_.checkValue(Control::StartWithWindows) == 1;
    const std::wstring data = RunValueData(process_.executableFolder(), process_.executableFileName());

    if (wanted) {
        // Exactly one value: with both, Windows would start two copies at
        // logon (an elevated start can write the machine-wide key beside the
        // current user's value written earlier without those rights).
        if (auto stored = StoreRunValue(registry, data)) {
            DeleteRegistryValue(registry, OtherRoot(*stored), kRunKeyPath, kRunValueName);
        }
    } else {
        DeleteRegistryValue(registry, RegistryRoot::LocalMachine, kRunKeyPath, kRunValueName);
        DeleteRegistryValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName);
    }
    // The box must not claim a state that the registry does not hold. Setting
    // it back raises this handler again, which then finds nothing to change.
    const bool stored = IsRunOnStartup();
    if (stored != wanted) {
        log_.add(wanted ? L"Run on Startup could not be stored in the registry"
                        : L"Run on Startup could not be removed from the registry: "
                          L"the value for all users needs administrator rights");
        SetCheckBox(window_, events_, Control::StartWithWindows, stored ? 1 : 0);
    }
}

bool RunOnStartup::IsRunOnStartup() {
    const std::wstring folder = process_.executableFolder();
    for (const std::wstring& name : {process_.executableFileName(), std::wstring(kDocumentedExecutableName)}) {
        const std::wstring expected = RunValueData(folder, name);
        if ((HoldsRunValue(registry_, RegistryRoot::LocalMachine, expected) ||
             HoldsRunValue(registry_, RegistryRoot::CurrentUser, expected)) &&
            files_.pathExists(folder + L"\\" + name)) {
            return true;
        }
    }
    return false;
}

}  // namespace hb
