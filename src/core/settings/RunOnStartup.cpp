#include "settings/RunOnStartup.h"

#include <string>

#include "settings/registry.h"

namespace hb {

std::wstring RunValueData(const std::wstring& executableFolder) {
    return L"\"" + executableFolder + L"\\HoardbookUploader.exe\"";
}

namespace {

bool HoldsRunValue(Registry& registry, RegistryRoot root, const std::string& expected) {
    RegistryValue value = GetRegistryValue(registry, root, kRunKeyPath, kRunValueName);
    const auto* text = std::get_if<std::string>(&value);
    return text != nullptr && *text == expected;
}

}  // namespace

RunOnStartup::RunOnStartup(MainWindow& window, FormEvents& events, Registry& registry, const Process& process,
                           const Codepage& codepage, MessageLog& log)
    : window_(window), events_(events), registry_(registry), process_(process), codepage_(codepage), log_(log) {}

void RunOnStartup::StartWithWindows_Click() {
    Registry& registry = registry_;
    const bool wanted = window_.checkValue(Control::StartWithWindows) == 1;
    const std::string data = codepage_.toAnsi(RunValueData(process_.executableFolder()));

    if (wanted) {
        // The registry module reports nothing, so reading back tells whether
        // the machine-wide write worked.
        SetRegistryString(registry, RegistryRoot::LocalMachine, kRunKeyPath, kRunValueName, data);
        if (!HoldsRunValue(registry, RegistryRoot::LocalMachine, data)) {
            SetRegistryString(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, data);
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
    const std::string expected = codepage_.toAnsi(RunValueData(process_.executableFolder()));
    return HoldsRunValue(registry_, RegistryRoot::LocalMachine, expected) ||
           HoldsRunValue(registry_, RegistryRoot::CurrentUser, expected);
}

}  // namespace hb
