// The install stage on its own: the source and the add-on folder are the
// caller's values, so a second server or a second folder is an argument.
// The whole check always uses one server and the game's folder, where a
// stage that fell back to either would still pass.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "fakes/FakeProgramExit.h"
#include "net/Transfers.h"
#include "support/FormFixture.h"
#include "updater/AddonInstall.h"
#include "updater/CheckPace.h"

namespace hb::test {
namespace {

namespace fs = std::filesystem;

class InstallStage : public PortsFixture {
protected:
    InstallStage() {
        installGame();
        fs::create_directories(temp.path() / "Game" / "Interface" / "Addons" / "Hoardbook");
        fs::create_directories(temp.path() / "Second");
        http.responder = ServeFiles(server);
    }
    std::vector<std::wstring> requested() const {
        std::vector<std::wstring> urls;
        for (const auto& request : http.requests) urls.push_back(request->url);
        return urls;
    }

    std::map<std::wstring, FakeResponse> server;
    FakeProgramExit programExit{process};
    Transfers transfers{http, boxes, shell, *files, process, programExit, codepage, messages, 60000};
    AddonInstall install{*files, transfers, messages};
};

TEST_F(InstallStage, FetchesFromTheSourceGivenIntoTheFolderGiven) {
    const UpdateSource mirror{L"https://mirror.test:8443", L"/addons/hb/"};
    server[L"https://mirror.test:8443/addons/hb/Hoardbook.lua"].text = L"lua";
    server[L"https://mirror.test:8443/addons/hb/Libs/X.lua"].text = L"lib";
    server[L"https://mirror.test:8443/addons/hb/Hoardbook.toc"].text = L"## Version: 2.0";
    CheckPace pace(process, FailureReport::LogOnly);
    install.startVersion(L"2.0", temp.corePath("Second"));

    const InstallOutcome outcome = install.install(
        mirror, BoundedFileList{{L"Hoardbook.toc", L"Hoardbook.lua", L"Libs/X.lua"}, 0}, temp.corePath("Second"), pace);

    EXPECT_TRUE(outcome.complete());
    EXPECT_TRUE(install.versionInstalled());
    EXPECT_EQ(requested(), (std::vector<std::wstring>{L"https://mirror.test:8443/addons/hb/Hoardbook.lua",
                                                      L"https://mirror.test:8443/addons/hb/Libs/X.lua",
                                                      L"https://mirror.test:8443/addons/hb/Hoardbook.toc"}));
    EXPECT_EQ(temp.read(fs::path("Second") / "Hoardbook.toc"), "## Version: 2.0\r\n");
    EXPECT_EQ(temp.read(fs::path("Second") / "Libs" / "X.lua"), "lib\r\n");
    EXPECT_TRUE(fs::is_empty(temp.path() / "Game" / "Interface" / "Addons" / "Hoardbook"))
        << "nothing goes to the game's add-on folder";
}

}  // namespace
}  // namespace hb::test
