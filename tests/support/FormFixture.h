#pragma once
// The fake ports (support/FakePorts.h) with the file system rooted in a
// temporary folder, for building one subsystem from the ports it uses; and
// a Form1 wired to all of them. The game's install folder is <temp>/Game
// and the executable's folder <temp>/Program.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeMessageLog.h"
#include "shell/Form1.h"
#include "support/FakePorts.h"
#include "support/TempFolder.h"

namespace hb::test {

inline const std::wstring kWowKey = L"Software\\Blizzard Entertainment\\World of Warcraft";
inline const std::wstring kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class PortsFixture : public ::testing::Test, public FakePorts {
protected:
    PortsFixture();

    // Stores "InstallPath" = the game folder (with a trailing separator).
    void installGame();
    // Creates <account folder>/<entry>/SavedVariables/Hoardbook.lua.
    void addSavedData(const std::string& entry, const std::string& bytes);
    std::wstring gameFolder() const;
    std::wstring programFolder() const;
    // <temp>/Game/WTF/Account
    std::filesystem::path account() const;
    // The texts of the list's entries, in order.
    std::vector<std::wstring> entries() const;
    // The core's separator between folder names.
    static std::wstring sep();
    // The message boxes' texts, in order.
    std::vector<std::wstring> boxTexts() const;
    // settings.txt's third line as it remembers this password for the user.
    std::string rememberedLine(const std::wstring& password) const;

    TempFolder temp;
    // The message log of a subsystem built alone (a form logs to its window).
    FakeMessageLog messages;
};

class FormFixture : public PortsFixture {
protected:
    FormFixture();

    Options options;
    std::unique_ptr<Form1> form;

    // Builds the form (call after changing options or ports).
    void makeForm();
    // The tray icon as start-up adds it: a minimised window hides only
    // while the icon can bring it back.
    void addTrayIcon();
};

}  // namespace hb::test
