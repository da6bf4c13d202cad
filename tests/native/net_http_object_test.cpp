// Obtaining the HTTP object, and the way out on a machine without one.

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/FakeProgramExit.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

const std::vector<std::wstring> kAllNames = {L"MSXML2.XMLHTTP.6.0", L"MSXML2.XMLHTTP.4.0", L"MSXML2.XMLHTTP.3.0",
                                             L"MSXML2.XMLHTTP.2.6", L"MSXML2.XMLHTTP.2.0"};
const std::wstring kDownloadPage =
    L"http://www.microsoft.com/downloads/details.aspx?FamilyId=993c0bcf-3bcf-4009-be21-27e85e1857b1";

class HttpObject : public FormFixture {
protected:
    // The working folder is not the program's (a start from the Run key
    // gets the system folder), and nothing may be written there.
    HttpObject() : previous_(std::filesystem::current_path()) {
        std::filesystem::create_directories(temp.path() / "Working");
        std::filesystem::current_path(temp.path() / "Working");
    }
    ~HttpObject() override { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

TEST_F(HttpObject, TakesTheNewestVersionAndTriesNoOther) {
    auto request = form->transfers().CreateXMLObject();
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(http.attempts, std::vector<std::wstring>{L"MSXML2.XMLHTTP.6.0"});
    EXPECT_EQ(http.requests.at(0)->progId, L"MSXML2.XMLHTTP.6.0");
}

TEST_F(HttpObject, FallsBackSilentlyInOrder) {
    for (std::size_t only = 0; only < kAllNames.size(); ++only) {
        http.available = {kAllNames[only]};
        http.attempts.clear();
        auto request = form->transfers().CreateXMLObject();
        ASSERT_NE(request, nullptr);
        EXPECT_EQ(http.attempts, std::vector<std::wstring>(kAllNames.begin(), kAllNames.begin() + only + 1));
        EXPECT_EQ(http.requests.back()->progId, kAllNames[only]);
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(process.endCount, 0);
}

TEST_F(HttpObject, WithoutAnyVersionTellsTheUserOpensTheDownloadPageAndEnds) {
    http.available.clear();
    std::size_t launchesWhenBoxShown = 99;
    boxes.onShow = [&](const MessageBoxRequest&) { launchesWhenBoxShown = shell.executed.size(); };

    EXPECT_THROW(form->transfers().CreateXMLObject(), ProcessEnded);

    EXPECT_EQ(http.attempts, kAllNames);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              L"We were unable to initialize.  Please download and install the program that you are taken to "
              L"after clicking 'OK'\r\n\r\nNote: If you are unsure about which file to download from that page, "
              L"then download the first one (msxml6.msi)");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Stop);
    EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
    EXPECT_EQ(launchesWhenBoxShown, 0u) << "the page opens after the box is closed";
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0].file, shell.browserPath);
    EXPECT_EQ(shell.executed[0].parameters, kDownloadPage);
    EXPECT_EQ(temp.read("Program/temp.htm"), "\"<HTML> <\\HTML>\"\r\n") << "beside the program";
    EXPECT_FALSE(temp.exists("Working/temp.htm"));
    EXPECT_EQ(process.endCount, 1);
}

TEST_F(HttpObject, EndsEvenWhenTheBrowserCannotBeFound) {
    http.available.clear();
    shell.browserPath.clear();
    EXPECT_THROW(form->transfers().CreateXMLObject(), ProcessEnded);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].title, L"Browser Not Found");
    EXPECT_TRUE(shell.executed.empty());
    EXPECT_EQ(process.endCount, 1);
}

TEST_F(HttpObject, EndsEvenWhenTheScratchFileCannotBeWritten) {
    http.available.clear();
    std::filesystem::create_directory(temp.path() / "Program" / "temp.htm");  // a folder in the file's way
    EXPECT_THROW(form->transfers().CreateXMLObject(), ProcessEnded);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(shell.lookedUp.empty());
    EXPECT_TRUE(shell.executed.empty());
    EXPECT_EQ(process.endCount, 1);
}

TEST_F(HttpObject, TheLoginAndADownloadEndTheProgramWithoutSendingAnything) {
    http.available.clear();
    window.setText(Control::URL, L"guild.example");
    window.setText(Control::Login, L"bob");
    window.setText(Control::Password, L"pw");
    EXPECT_THROW(form->Command1_Click(), ProcessEnded);
    FakeProgramExit programExit{process};
    Transfers transfers(http, boxes, shell, *files, process, programExit, codepage, messages, 60000);
    EXPECT_THROW(transfers.download(L"http://updates.test/x", FailureReport::Box), ProcessEnded);
    EXPECT_TRUE(http.requests.empty());
    EXPECT_EQ(window.text(Control::Data), L"");
    EXPECT_TRUE(messages.entries.empty());
}

}  // namespace
}  // namespace hb::test
