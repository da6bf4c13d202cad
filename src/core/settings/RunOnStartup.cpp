// "Run on Startup": the machine-wide Run value, or the current user's when
// the machine-wide key cannot be written without administrator rights.

#include "settings/RunOnStartup.h"

#include <string>

#include "settings/registry.h"
#include "shell/Form1.h"

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

void Form1::StartWithWindows_Click() {
    Registry& registry = ports_.registry;
    const bool wanted = ports_.window.checkValue(Control::StartWithWindows) == 1;
    const std::string data = ports_.codepage.toAnsi(RunValueData(ports_.process.executableFolder()));

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
        AddMessage(wanted ? L"Run on Startup could not be stored in the registry"
                          : L"Run on Startup could not be removed from the registry: "
                            L"the value for all users needs administrator rights");
        SetCheckBox(Control::StartWithWindows, stored ? 1 : 0);
    }
}

bool Form1::IsRunOnStartup() {
    const std::string expected = ports_.codepage.toAnsi(RunValueData(ports_.process.executableFolder()));
    return HoldsRunValue(ports_.registry, RegistryRoot::LocalMachine, expected) ||
           HoldsRunValue(ports_.registry, RegistryRoot::CurrentUser, expected);
}

}  // namespace hb
