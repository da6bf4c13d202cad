#include "support/FormFixture.h"

#include <filesystem>

#include "settings/PasswordLine.h"

namespace hb::test {

PortsFixture::PortsFixture() {
    std::filesystem::create_directories(temp.path() / "Program");
    process.exeFolder = programFolder();
}

FormFixture::FormFixture() {
    options.updateHost = L"updates.test";
    options.httpDeadlineMs = 60000;
    makeForm();
}

void FormFixture::makeForm() {
    form = std::make_unique<Form1>(ports(), options);
    window.connect(form.get());
}

void FormFixture::addTrayIcon() {
    form->systray().PrepareTrayIcon();
    form->systray().AddTrayIcon();
}

std::string PortsFixture::rememberedLine(const std::wstring& password) const {
    const std::wstring line = PasswordLineOf(password, protection).value_or(L"(not protected)");
    return std::string(line.begin(), line.end());  // ASCII: the mark and base64
}

std::wstring PortsFixture::sep() {
    return std::wstring(1, static_cast<wchar_t>(std::filesystem::path::preferred_separator));
}

std::wstring PortsFixture::gameFolder() const { return temp.corePath("Game"); }
std::wstring PortsFixture::programFolder() const { return temp.corePath("Program"); }
std::filesystem::path PortsFixture::account() const { return temp.path() / "Game" / "WTF" / "Account"; }

std::vector<std::wstring> PortsFixture::entries() const {
    std::vector<std::wstring> texts;
    for (const auto& item : window.items) texts.push_back(item.text);
    return texts;
}

void PortsFixture::installGame() {
    std::filesystem::create_directories(temp.path() / "Game");
    registry.putString(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", gameFolder() + sep());
}

void PortsFixture::addSavedData(const std::string& entry, const std::string& bytes) {
    std::filesystem::path relative = std::filesystem::path("Game") / "WTF" / "Account";
    std::string part;
    for (char c : entry + "\\") {
        if (c == '\\') {
            relative /= part;
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    temp.write(relative / "SavedVariables" / "Hoardbook.lua", bytes);
}

std::vector<std::wstring> PortsFixture::boxTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& box : boxes.shown) texts.push_back(box.text);
    return texts;
}

}  // namespace hb::test
