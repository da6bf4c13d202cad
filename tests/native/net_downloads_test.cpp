// Downloads as text and into files, and what a failed one leaves on disk.

#include <gtest/gtest.h>

#include "support/FormFixture.h"

namespace hb::test {
namespace {

FakeResponse Answer(std::wstring text) {
    FakeResponse response;
    response.text = std::move(text);
    return response;
}

const std::wstring kUrl = L"http://updates.test/files/Hoardbook/Hoardbook.lua";

class Downloads : public FormFixture {
protected:
    void answer(std::wstring text, int status = 200) {
        http.responder = [text, status](const RecordedRequest&) {
            FakeResponse response = Answer(text);
            response.status = status;
            return response;
        };
    }
    void failWith(FakeResponse::FailAt step, std::wstring description) {
        http.responder = [step, description](const RecordedRequest&) {
            FakeResponse response;
            response.failAt = step;
            response.description = description;
            return response;
        };
    }
    std::wstring target(const std::string& name = "Hoardbook.lua") const { return temp.corePath(name); }
};

TEST_F(Downloads, GetsTheUrlUnchangedWithNoBodyAndNoHeader) {
    answer(L"line 1\r\nline 2");
    const std::wstring url = L"http://updates.test/files/Hoardbook/Some File.lua?x=1";
    EXPECT_EQ(form->QuickDownload(url), L"line 1\r\nline 2");
    ASSERT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(http.requests[0]->method, L"GET");
    EXPECT_EQ(http.requests[0]->url, url);
    EXPECT_TRUE(http.requests[0]->async);
    EXPECT_TRUE(http.requests[0]->sent);
    EXPECT_FALSE(http.requests[0]->body.has_value());
    EXPECT_TRUE(http.requests[0]->headers.empty());
    EXPECT_TRUE(http.requests[0]->released);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Downloads, AFailureIsShownOnceAndYieldsEmptyText) {
    failWith(FakeResponse::FailAt::Send, L"A connection with the server could not be established");
    EXPECT_EQ(form->QuickDownload(kUrl), L"");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              L"Error Downloading File: " + kUrl + L"\r\n\r\nA connection with the server could not be established");
    EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::None);
    EXPECT_EQ(window.text(Control::Data), L"") << "downloads do not log";
}

TEST_F(Downloads, AnHttpErrorStatusIsAFailureNamingUrlAndStatus) {
    answer(L"<html>404 Not Found</html>", 404);
    EXPECT_EQ(form->QuickDownload(kUrl), L"");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              L"Error Downloading File: " + kUrl + L"\r\n\r\nThe server answered with HTTP status 404.");
}

TEST_F(Downloads, ASilentServerEndsAtTheDeadline) {
    options.httpDeadlineMs = 2000;
    makeForm();
    http.responder = [](const RecordedRequest&) {
        FakeResponse response;
        response.neverCompletes = true;
        return response;
    };
    EXPECT_EQ(form->QuickDownload(kUrl), L"");
    EXPECT_TRUE(http.requests.at(0)->aborted);
    EXPECT_TRUE(http.requests.at(0)->released);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Error Downloading File: " + kUrl +
                                       L"\r\n\r\nThe server did not answer within 2 seconds; the request was cancelled.");
}

TEST_F(Downloads, AnUnreachableUpdateServerGivesUpSoonerThanAnUpload) {
    http.responder = [](const RecordedRequest&) {
        FakeResponse response;
        response.neverCompletes = true;
        return response;
    };
    const auto started = process.nowMs;
    EXPECT_EQ(form->QuickDownload(kUrl), L"");
    EXPECT_TRUE(http.requests.at(0)->aborted);
    EXPECT_LE(process.nowMs - started, 21000) << "start-up waits for this check before showing the window";
    EXPECT_GE(process.nowMs - started, 20000);
}

TEST_F(Downloads, StoresTheTextWithOneLineBreakAdded) {
    struct Case {
        std::wstring body;
        std::string stored;
    };
    const Case cases[] = {
        {L"## Version: 2.1", "## Version: 2.1\r\n"},
        {L"a\r\nb\r\n", "a\r\nb\r\n\r\n"},  // already ended: a second line break
        {L"", "\r\n"},                      // an empty body: a file of only CR LF
        {L"lone\nfeeds\n", "lone\nfeeds\n\r\n"},
        {L"Caf\u00e9", "Caf\xE9\r\n"},  // written in the ANSI code page
    };
    for (const Case& c : cases) {
        answer(c.body);
        EXPECT_TRUE(form->QuickDownloadToFile(kUrl, target()));
        EXPECT_EQ(temp.read("Hoardbook.lua"), c.stored);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Downloads, AFailedDownloadLeavesTheFileAsItWas) {
    temp.write("Hoardbook.lua", "good add-on file\r\n");
    failWith(FakeResponse::FailAt::Poll, L"The connection was reset");
    EXPECT_FALSE(form->QuickDownloadToFile(kUrl, target()));
    EXPECT_EQ(temp.read("Hoardbook.lua"), "good add-on file\r\n");

    EXPECT_FALSE(form->QuickDownloadToFile(kUrl, target("New.lua")));
    EXPECT_FALSE(temp.exists("New.lua"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text.rfind(L"Error Downloading File: ", 0), 0u);
}

TEST_F(Downloads, AnErrorPageNeverReplacesTheFile) {
    temp.write("Hoardbook.lua", "good add-on file\r\n");
    for (int status : {404, 500, 403, 0}) {
        answer(L"<html>error page</html>", status);
        EXPECT_FALSE(form->QuickDownloadToFile(kUrl, target())) << status;
        EXPECT_FALSE(form->QuickDownloadToFile(kUrl, target("Missing.lua"))) << status;
    }
    EXPECT_EQ(temp.read("Hoardbook.lua"), "good add-on file\r\n");
    EXPECT_FALSE(temp.exists("Missing.lua"));
    ASSERT_EQ(boxes.shown.size(), 8u);
    EXPECT_EQ(boxes.shown[0].text,
              L"Error Downloading File: " + kUrl + L"\r\n\r\nThe server answered with HTTP status 404.");
}

TEST_F(Downloads, NoContentCountsAsAnEmptyBody) {
    for (int status : {204, 1223}) {
        answer(L"", status);
        EXPECT_TRUE(form->QuickDownloadToFile(kUrl, target())) << status;
        EXPECT_EQ(temp.read("Hoardbook.lua"), "\r\n");
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Downloads, AnAnswerBeyondItsBoundFailsAndWritesNothing) {
    // The version file and the file list are read up to 64 KB, an add-on
    // file up to 16 MB: a broken server can fill neither memory nor disk.
    constexpr std::size_t kList = 64 * 1024;
    constexpr std::size_t kFile = 16 * 1024 * 1024;
    answer(std::wstring(kList, L'v'));
    EXPECT_EQ(form->QuickDownload(kUrl).size(), kList) << "the bound itself is accepted";
    EXPECT_EQ(http.requests.back()->responseLimit, kList);

    answer(std::wstring(kList + 1, L'v'));
    EXPECT_EQ(form->QuickDownload(kUrl), L"");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Error Downloading File: " + kUrl +
                                       L"\r\n\r\nThe server's answer is larger than 64 KB; the request was cancelled.");

    temp.write("Hoardbook.lua", "good add-on file\r\n");
    answer(std::wstring(kFile + 1, L'f'));
    EXPECT_FALSE(form->QuickDownloadToFile(kUrl, target()));
    EXPECT_EQ(http.requests.back()->responseLimit, kFile);
    EXPECT_EQ(temp.read("Hoardbook.lua"), "good add-on file\r\n");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, L"Error Downloading File: " + kUrl +
                                       L"\r\n\r\nThe server's answer is larger than 16 MB; the request was cancelled.");
    EXPECT_TRUE(http.requests.back()->released);
}

TEST_F(Downloads, AMissingFolderGivesTheSavingMessageAndNoFile) {
    answer(L"content");
    const std::wstring path = temp.corePath("NoSuchFolder") + sep() + L"Hoardbook.lua";
    EXPECT_FALSE(form->QuickDownloadToFile(kUrl, path));
    ASSERT_EQ(boxes.shown.size(), 1u);
    const std::wstring prefix = L"Saving of file " + path + L" Failed for the following reason: ";
    EXPECT_EQ(boxes.shown[0].text.rfind(prefix, 0), 0u) << boxes.shown[0].text;
    EXPECT_GT(boxes.shown[0].text.size(), prefix.size()) << "the reason is given";
    EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
    EXPECT_FALSE(temp.exists("NoSuchFolder"));
}

}  // namespace
}  // namespace hb::test
