// The add-on in every flavour of the game: the folder InstallPath names is
// updated as before, every other flavour where the player installed the
// add-on gets the same version, a flavour without it gets nothing, and a
// failure in one flavour stops neither the others nor the check.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "gamedata/GameFolders.h"
#include "net/Transfers.h"
#include "fakes/FakeProgramExit.h"
#include "support/FormFixture.h"
#include "updater/AddonUpdater.h"

namespace hb::test {
namespace {

namespace fs = std::filesystem;
const std::wstring kBase = L"http://updates.test/files/Hoardbook/";

class UpdaterFlavours : public PortsFixture {
protected:
    UpdaterFlavours() {
        registry.putString(RegistryRoot::LocalMachine, kWowKey, L"InstallPath",
                           temp.corePath("World of Warcraft") + sep() + L"_retail_" + sep());
        fs::create_directories(onDisk("_retail_"));
        http.responder = ServeFiles(server);
        serve(L"HoardbookVersion", L"2.0\r\n");
        serve(L"HoardbookFiles", L"Hoardbook.toc\r\nHoardbook.lua\r\n");
        serve(L"Hoardbook.toc", L"## Version: 2.0");
        serve(L"Hoardbook.lua", L"Hoardbook = {}");
    }

    static fs::path addon(const std::string& flavour) {
        return fs::path("World of Warcraft") / flavour / "Interface" / "Addons" / "Hoardbook";
    }
    fs::path onDisk(const std::string& flavour) const { return temp.path() / addon(flavour); }
    void install(const std::string& flavour, const std::string& toc) {
        fs::create_directories(onDisk(flavour));
        temp.write(addon(flavour) / "Hoardbook.toc", toc);
    }
    void serve(const std::wstring& name, const std::wstring& text) { server[kBase + name].text = text; }
    bool logHas(const std::wstring& part) const {
        for (const auto& entry : messages.entries) {
            if (entry.find(part) != std::wstring::npos) return true;
        }
        return false;
    }

    std::map<std::wstring, FakeResponse> server;
    FakeProgramExit programExit{process};
    GameFolders folders{registry, boxes, programExit, files.get(), &messages};
    Transfers transfers{http, boxes, shell, *files, process, programExit, codepage, messages, 60000};
    AddonUpdater updater{*files, boxes, process, codepage, messages, folders, transfers, L"updates.test"};
};

TEST_F(UpdaterFlavours, EveryFlavourWithTheAddonIsUpdatedAndOneWithoutItIsLeftAlone) {
    install("_retail_", "## Version: 1.0\r\n");
    install("_classic_era_", "## Version: 1.0\r\n");
    fs::create_directories(temp.path() / "World of Warcraft" / "_classic_" / "Interface" / "Addons");

    updater.CheckVersionAndDownload();

    for (const char* flavour : {"_retail_", "_classic_era_"}) {
        EXPECT_EQ(temp.read(addon(flavour) / "Hoardbook.toc"), "## Version: 2.0\r\n") << flavour;
        EXPECT_EQ(temp.read(addon(flavour) / "Hoardbook.lua"), "Hoardbook = {}\r\n") << flavour;
    }
    EXPECT_FALSE(fs::exists(onDisk("_classic_")));
    EXPECT_TRUE(logHas(L"Hoardbook Mod Updated to version 2.0 in _classic_era_"));
    // Each file was fetched once; the other flavour's copy came from disk.
    EXPECT_EQ(http.requests.size(), 4u);
}

TEST_F(UpdaterFlavours, AFlavourLeftBehindCatchesUpWhenTheNamedOneIsCurrent) {
    install("_retail_", "## Version: 2.0\r\n");
    temp.write(addon("_retail_") / "Hoardbook.lua", "current\r\n");
    install("_classic_era_", "## Version: 1.0\r\n");

    updater.CheckVersionAndDownload();

    EXPECT_EQ(temp.read(addon("_classic_era_") / "Hoardbook.toc"), "## Version: 2.0\r\n");
    EXPECT_EQ(temp.read(addon("_classic_era_") / "Hoardbook.lua"), "current\r\n");
    EXPECT_EQ(http.requests.size(), 1u);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(UpdaterFlavours, AFailureInOneFlavourIsNamedAndTheOthersAreStillUpdated) {
    install("_retail_", "## Version: 1.0\r\n");
    install("_beta_", "## Version: 1.0\r\n");
    install("_ptr_", "## Version: 1.0\r\n");
    // A folder where a file must go: the copy into _beta_ cannot complete.
    fs::create_directories(onDisk("_beta_") / "Hoardbook.lua");

    updater.CheckVersionAndDownload();

    EXPECT_EQ(temp.read(addon("_ptr_") / "Hoardbook.toc"), "## Version: 2.0\r\n");
    EXPECT_EQ(temp.read(addon("_beta_") / "Hoardbook.toc"), "## Version: 1.0\r\n")
        << "a flavour whose files did not all arrive keeps its old version file";
    EXPECT_TRUE(logHas(L"Hoardbook could not be updated to version 2.0 in _beta_"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, L"Hoardbook has been updated to version 2.0");
    EXPECT_NE(boxes.shown[1].text.find(L"in _beta_"), std::wstring::npos);
}

}  // namespace
}  // namespace hb::test
