// Every flavour of the game, laid out as the game's launcher lays it out:
// "World of Warcraft\_retail_" (which InstallPath names) beside
// "_classic_era_", each with its own WTF and add-ons. The program lists the
// characters of both, keeps an excluded Classic character unsent, uploads a
// change in either flavour, updates the add-on where it is installed, and
// finds the game through its uninstall entry when InstallPath is missing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "AppDriver.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;
namespace fs = std::filesystem;

const wchar_t kGameKey[] = L"Software\\Blizzard Entertainment\\World of Warcraft";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\World of Warcraft";

// The launcher writes the 32-bit view.
void SetMachineString(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    HKEY opened = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &opened,
                          nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create a registry key");
    }
    ::RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(opened);
}

std::string SavedDataOf(const std::wstring& entry, const std::string& state = "") {
    return "Hoardbook = { owner = \"" + Utf8(entry) + "\"" + state + " }\r\n";
}

bool LogContains(const AppDriver& app, const std::wstring& text) {
    return app.text(kIdData).find(text) != std::wstring::npos;
}

const ListEntry* Find(const std::vector<ListEntry>& entries, const std::wstring& text) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](const ListEntry& e) { return e.text == text; });
    return found == entries.end() ? nullptr : &*found;
}

class Flavours : public ::testing::Test {
protected:
    void SetUp() override {
        // InstallPath names the flavour installed or repaired last.
        SetMachineString(kGameKey, L"InstallPath", (flavour("_retail_").wstring() + L"\\"));
    }
    void TearDown() override {
        ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, 0);
    }

    fs::path flavour(const std::string& name) const { return scenario.gameFolder() / name; }
    fs::path savedData(const std::string& name, const std::wstring& entry) const {
        return flavour(name) / "WTF" / "Account" / entry / "SavedVariables" / "Hoardbook.lua";
    }
    void write(const std::string& name, const std::wstring& entry, const std::string& bytes) const {
        WriteFile(savedData(name, entry), bytes);
    }
    fs::path addon(const std::string& name) const { return flavour(name) / "Interface" / "AddOns" / "Hoardbook"; }
    void installAddon(const std::string& name, const std::string& version) const {
        WriteFile(addon(name) / "Hoardbook.toc", Scenario::addonToc(version));
        WriteFile(addon(name) / "Hoardbook.lua", Scenario::addonLua(version));
    }
    void start(AppDriver& app) {
        ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
    }
    std::size_t uploadsOf(const std::string& bytes) const {
        const auto uploads = scenario.uploads();
        return static_cast<std::size_t>(
            std::count_if(uploads.begin(), uploads.end(), [&](const Upload& upload) { return upload.fileBytes == bytes; }));
    }

    Scenario scenario;
};

TEST_F(Flavours, BothFlavoursAreListedUploadedExcludedAndTheirAddonsUpdated) {
    const std::wstring alice = L"ACC\\Realm\\Alice";
    const std::wstring bob = L"ACC\\Realm\\Bob";
    const std::wstring eraAlice = L"_classic_era_\\ACC\\Realm\\Alice";
    const std::wstring eraBob = L"_classic_era_\\ACC\\Realm\\Bob";
    write("_retail_", alice, SavedDataOf(alice));
    write("_classic_era_", alice, SavedDataOf(eraAlice));
    write("_classic_era_", bob, SavedDataOf(eraBob));
    // The player excluded the Classic Bob in an earlier run.
    scenario.writeProgramFile(L"noupload.txt", "_classic_era_\\ACC\\Realm\\Bob\r\n");
    scenario.writeSettings("raider\r\n" + Utf8(Scenario::siteHost()) + "\r\ngold & glory\r\n");
    // The published add-on is installed in retail; Classic Era has an older
    // one; Classic has the game but not the add-on.
    installAddon("_retail_", "1.0");
    installAddon("_classic_era_", "0.9");
    fs::create_directories(flavour("_classic_") / "WTF" / "Account");
    fs::create_directories(flavour("_classic_") / "Interface" / "AddOns");

    AppDriver app;
    start(app);
    ASSERT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, kStartTimeout));
    const auto entries = app.entries();
    ASSERT_EQ(entries.size(), 3u);
    ASSERT_NE(Find(entries, alice), nullptr) << "the named flavour keeps its plain text";
    ASSERT_NE(Find(entries, eraAlice), nullptr);
    ASSERT_NE(Find(entries, eraBob), nullptr);
    EXPECT_TRUE(Find(entries, eraAlice)->checked);
    EXPECT_FALSE(Find(entries, eraBob)->checked);

    // Both checked characters are sent; then the game rewrites the Classic one.
    ASSERT_TRUE(WaitFor([&] { return uploadsOf(SavedDataOf(alice)) >= 1 && uploadsOf(SavedDataOf(eraAlice)) >= 1; },
                        6 * kTick));
    write("_classic_era_", alice, SavedDataOf(eraAlice, ", gold = 2"));
    EXPECT_TRUE(WaitFor([&] { return uploadsOf(SavedDataOf(eraAlice, ", gold = 2")) >= 1; }, 6 * kTick));

    EXPECT_EQ(ReadFile(addon("_classic_era_") / "Hoardbook.toc"), Scenario::addonToc("1.0"));
    EXPECT_EQ(ReadFile(addon("_classic_era_") / "Hoardbook.lua"), Scenario::addonLua("1.0"));
    EXPECT_FALSE(fs::exists(addon("_classic_"))) << "never installed where the player did not";
    EXPECT_TRUE(LogContains(app, L"in _classic_era_"));
    ASSERT_TRUE(app.exitProgram());
    EXPECT_EQ(uploadsOf(SavedDataOf(eraBob)), 0u);
    EXPECT_EQ(scenario.readProgramFile(L"noupload.txt"), "_classic_era_\\ACC\\Realm\\Bob\r\n");
}

TEST_F(Flavours, WithoutInstallPathTheUninstallEntryLeadsToTheGame) {
    HKEY game = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &game), ERROR_SUCCESS);
    ::RegDeleteValueW(game, L"InstallPath");
    ::RegCloseKey(game);
    SetMachineString(kUninstallKey, L"DisplayName", L"World of Warcraft");
    SetMachineString(kUninstallKey, L"InstallLocation", scenario.gameFolder().wstring());
    write("_retail_", L"ACC\\Realm\\Alice", SavedDataOf(L"retail"));
    write("_classic_era_", L"ACC\\Realm\\Alice", SavedDataOf(L"era"));

    AppDriver app;
    start(app);
    ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout)) << "the program starts, no box";
    ASSERT_TRUE(WaitFor([&] { return app.entries().size() == 2; }, kStartTimeout));
    std::set<std::wstring> texts;
    for (const auto& entry : app.entries()) texts.insert(entry.text);
    EXPECT_EQ(texts, (std::set<std::wstring>{L"_retail_\\ACC\\Realm\\Alice", L"_classic_era_\\ACC\\Realm\\Alice"}));
    EXPECT_TRUE(LogContains(app, L"found the game in"));
    EXPECT_EQ(app.messageBox().window, nullptr);
    ASSERT_TRUE(app.exitProgram());
}

TEST_F(Flavours, NothingFoundAnywhereShowsTheDocumentedBoxAndEnds) {
    HKEY game = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &game), ERROR_SUCCESS);
    ::RegDeleteValueW(game, L"InstallPath");
    ::RegCloseKey(game);
    // The game is there, but where nothing says so and no one looks.
    write("_retail_", L"ACC\\Realm\\Alice", SavedDataOf(L"retail"));

    AppDriver app;
    ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
    const MessageBoxSeen box = app.waitForMessageBox(kStartTimeout);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text,
              L"We were unable to locate your World of Warcraft Folder.  Apparently WoW is not properly installed."
              L"\r\n\r\nHoardbookUploader will now exit");
    EXPECT_EQ(box.title, L"HoardbookUploader");
    app.answer(box, IDOK);
    EXPECT_TRUE(app.waitForExit(10000));
}

}  // namespace
}  // namespace hb::e2e
