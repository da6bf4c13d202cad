#pragma once
// Fakes of every port but the file system, which is real and rooted in a
// temporary folder, for building one subsystem from the ports it uses; and
// a Form1 wired to all of them. The game's install folder is <temp>/Game
// and the executable's folder <temp>/Program.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fakes/FakeDataProtection.h"
#include "fakes/FakeHttp.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeMessageLog.h"
#include "fakes/FakeProcess.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeWindow.h"
#include "shell/Form1.h"
#include "support/TempFolder.h"

namespace hb::test {

inline const std::wstring kWowKey = L"Software\\Blizzard Entertainment\\World of Warcraft";
inline const std::wstring kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class PortsFixture : public ::testing::Test {
protected:
    PortsFixture();

    // Stores "InstallPath" = the game folder (with a trailing separator).
    void installGame();
    // Creates <account folder>/<entry>/SavedVariables/Hoardbook.lua.
    void addSavedData(const std::string& entry, const std::string& bytes);
    std::wstring gameFolder() const;
    std::wstring programFolder() const;
    // The core's separator between folder names.
    static std::wstring sep();
    // The message boxes' texts, in order.
    std::vector<std::wstring> boxTexts() const;
    // settings.txt's third line as it remembers this password for the user.
    std::string rememberedLine(const std::wstring& password) const;

    TempFolder temp;
    std::unique_ptr<FileSystem> files;
    FakeWindow window;
    FakeMessageBoxes boxes;
    FakeRegistry registry;
    FakeHttpFactory http;
    FakeShell shell;
    FakeTrayWindow trayWindow;
    FakeProcess process;
    Latin1Codepage codepage;
    FakeDataProtection protection;
    // The message log of a subsystem built alone (a form logs to its window).
    FakeMessageLog messages;
};

class FormFixture : public PortsFixture {
protected:
    FormFixture();

    Options options;
    FolderChanges* folderChanges = nullptr;  // none: every rescan walks
    std::unique_ptr<Form1> form;

    // Builds the form (call after changing options).
    void makeForm();
    // The tray icon as start-up adds it: a minimised window hides only
    // while the icon can bring it back.
    void addTrayIcon();
};

}  // namespace hb::test
