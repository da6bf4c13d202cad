// The add-on updater with real XMLHTTP and the real file system against the
// reference update server (started by tools/with-servers), serving the
// add-on in tools/update-server.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "HostFiles.h"
#include "shell/Form1.h"
#include "win32/Win32Http.h"
#include "windows/PlatformPorts.h"

namespace hb::test {
namespace {

namespace fs = std::filesystem;

std::wstring Environment(const wchar_t* name) { return EnvironmentText(name); }

// Passes everything to the real objects and notes every URL opened.
class RecordingRequest : public HttpRequest {
public:
    RecordingRequest(std::unique_ptr<HttpRequest> real, std::vector<std::wstring>& urls)
        : real_(std::move(real)), urls_(urls) {}
    void Open(const std::wstring& method, const std::wstring& url, bool async) override {
        urls_.push_back(url);
        real_->Open(method, url, async);
    }
    void setRequestHeader(const std::wstring& name, const std::wstring& value) override {
        real_->setRequestHeader(name, value);
    }
    void send(std::string body) override { real_->send(std::move(body)); }
    void send() override { real_->send(); }
    int readyState() override { return real_->readyState(); }
    std::wstring responseText() override { return real_->responseText(); }
    std::string responseBody() override { return real_->responseBody(); }
    int status() override { return real_->status(); }
    std::wstring responseHeader(const std::wstring& name) override { return real_->responseHeader(name); }
    void abort() override { real_->abort(); }
    void setResponseLimit(std::size_t maxBytes) override { real_->setResponseLimit(maxBytes); }

private:
    std::unique_ptr<HttpRequest> real_;
    std::vector<std::wstring>& urls_;
};

class RecordingHttpFactory : public HttpFactory {
public:
    std::unique_ptr<HttpRequest> create(const std::wstring& progId) override {
        auto real = real_.create(progId);
        return real ? std::make_unique<RecordingRequest>(std::move(real), urls) : nullptr;
    }
    std::vector<std::wstring> urls;

private:
    win32::Win32HttpFactory real_;
};

using Names = std::vector<std::wstring>;

class UpdaterAgainstServer : public ::testing::Test, public PlatformPorts {
protected:
    void SetUp() override {
        ASSERT_TRUE(com.ok());
        ASSERT_FALSE(sitePort.empty()) << "run through tools/with-servers (ctest does)";
        fs::create_directories(temp.path() / "Game" / "Interface" / "Addons");
        fs::create_directories(published);
        for (const auto& entry : fs::directory_iterator(published)) fs::remove(entry.path());
        registry.putString(RegistryRoot::LocalMachine, L"Software\\Blizzard Entertainment\\World of Warcraft",
                           L"InstallPath", temp.corePath("Game") + L"\\");
        options.updateHost = L"127.0.0.1:" + sitePort;
        options.httpDeadlineMs = 20000;
        form = std::make_unique<Form1>(use(http).ports(), options);
        window.connect(form.get());
    }

    // Our reference add-on, as tools/update-server publishes it.
    void publishReferenceAddon() {
        for (const char* name : {"HoardbookVersion", "HoardbookFiles", "Hoardbook.toc", "Hoardbook.lua"}) {
            publish(name, ReadBytes(referenceAddon / name));
        }
    }
    void publish(const std::string& name, const std::string& bytes) { WriteBytes(published / name, bytes); }
    void installVersion(const std::string& tocText) {
        fs::create_directories(addon());
        WriteBytes(addon() / "Hoardbook.toc", tocText);
    }
    fs::path addon() const { return temp.path() / "Game" / "Interface" / "Addons" / "Hoardbook"; }

    Names requested() const {
        const std::wstring base = L"http://127.0.0.1:" + sitePort + L"/files/Hoardbook/";
        Names names;
        for (const auto& url : http.urls) names.push_back(url.rfind(base, 0) == 0 ? url.substr(base.size()) : url);
        return names;
    }
    std::wstring log() const { return window.text(Control::Data); }

    const std::wstring sitePort = Environment(L"HB_SITE_PORT");
    const fs::path published = HostPath(Environment(L"HB_SITE_DATA")) / "updates" / "files" / "Hoardbook";
    const fs::path referenceAddon = HostPath(L"" HB_SOURCE_DIR) / "tools" / "update-server" / "files" / "Hoardbook";

    RecordingHttpFactory http;
    Options options;
    std::unique_ptr<Form1> form;
};

TEST_F(UpdaterAgainstServer, EqualVersionsFetchNothingBeyondTheVersionFile) {
    publishReferenceAddon();
    installVersion("## Title: Hoardbook\r\n## Version: 1.0\r\n");
    form->updater().CheckVersionAndDownload();
    EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(log(), L"");
    EXPECT_EQ(ReadBytes(addon() / "Hoardbook.toc"), "## Title: Hoardbook\r\n## Version: 1.0\r\n");
    EXPECT_FALSE(fs::exists(addon() / "Hoardbook.lua"));
}

TEST_F(UpdaterAgainstServer, DifferentVersionFetchesEveryListedFileInOrderThenAnnouncesThenLogs) {
    publishReferenceAddon();
    installVersion("## Version: 0.9\r\n");
    std::wstring logWhenBoxShown = L"unset";
    boxes.onShow = [&](const MessageBoxRequest&) { logWhenBoxShown = log(); };

    form->updater().CheckVersionAndDownload();

    // In list order, the version file last.
    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Hoardbook.lua", L"Hoardbook.toc"}));
    for (const char* name : {"Hoardbook.toc", "Hoardbook.lua"}) {
        EXPECT_EQ(ReadBytes(addon() / name), ReadBytes(referenceAddon / name) + "\r\n") << name;
    }
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Hoardbook has been updated to version 1.0");
    EXPECT_EQ(logWhenBoxShown, L"");
    EXPECT_NE(log().find(L": Hoardbook Mod Updated to version 1.0\r\n"), std::wstring::npos);

    // The installed add-on now carries the published version.
    http.urls.clear();
    form->updater().CheckVersionAndDownload();
    EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(UpdaterAgainstServer, MissingAddonFolderIsCreatedAndTheAddonInstalled) {
    publishReferenceAddon();
    ASSERT_FALSE(fs::exists(addon()));
    form->updater().CheckVersionAndDownload();
    EXPECT_TRUE(fs::is_directory(addon()));
    EXPECT_EQ(ReadBytes(addon() / "Hoardbook.lua"), ReadBytes(referenceAddon / "Hoardbook.lua") + "\r\n");
    EXPECT_EQ(form->updater().GetMyVersion(), L"1.0");
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(UpdaterAgainstServer, FailingVersionFetchClaimsNothing) {
    publish("HoardbookFiles", "Hoardbook.toc\r\n");
    publish("Hoardbook.toc", "## Version: 2.0\r\n");
    installVersion("## Version: 1.0\r\n");  // the server has no HoardbookVersion: 404

    form->updater().CheckVersionAndDownload();

    EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind(L"Error Downloading File: ", 0), 0u) << boxes.shown[0].text;
    EXPECT_EQ(log().find(L"Updated to version"), std::wstring::npos);
    EXPECT_NE(log().find(L"Hoardbook update check failed"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(addon() / "Hoardbook.toc"), "## Version: 1.0\r\n");

    // The periodic check reports the same failure in the log, without a box.
    window.setText(Control::Data, L"");
    form->updater().CheckVersionAndDownload();
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(log().find(L"Hoardbook update check failed: the published version could not be fetched: "
                         L"The server answered with HTTP status 404."),
              std::wstring::npos)
        << log();
    EXPECT_EQ(ReadBytes(addon() / "Hoardbook.toc"), "## Version: 1.0\r\n");
}

TEST_F(UpdaterAgainstServer, TraversalNamesWriteNothingOutsideTheAddonFolder) {
    publishReferenceAddon();
    publish("HoardbookFiles", "..\\..\\..\\escaped.lua\r\nHoardbook.lua\r\n../../escaped2.lua\r\n" +
                                  codepage.toAnsi(temp.corePath("escaped3.lua")) + "\r\n");
    installVersion("## Version: 0.9\r\n");

    form->updater().CheckVersionAndDownload();

    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Hoardbook.lua"}));
    for (const auto& entry : fs::recursive_directory_iterator(temp.path())) {
        EXPECT_EQ(entry.path().filename().wstring().find(L"escaped"), std::wstring::npos) << entry.path();
    }
    EXPECT_EQ(ReadBytes(addon() / "Hoardbook.lua"), ReadBytes(referenceAddon / "Hoardbook.lua") + "\r\n");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find(L"could not be updated to version 1.0"), std::wstring::npos);
    EXPECT_NE(log().find(L"refused the file name \"..\\..\\..\\escaped.lua\""), std::wstring::npos);
    EXPECT_EQ(log().find(L"Updated to version"), std::wstring::npos);
}

TEST_F(UpdaterAgainstServer, Timer1ChecksOnItsTick1802) {
    publishReferenceAddon();
    installVersion("## Version: 1.0\r\n");
    form->updater().CheckVersionAndDownload();  // start-up's check
    http.urls.clear();
    for (int tick = 1; tick <= 1801; ++tick) form->onTimer(Timer::Timer1);
    EXPECT_TRUE(http.urls.empty());
    form->onTimer(Timer::Timer1);
    EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace hb::test
