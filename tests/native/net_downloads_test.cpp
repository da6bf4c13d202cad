// Downloads as text and into files, and what a failed one leaves on disk.

#include <gtest/gtest.h>

#include "net/Transfers.h"
#include "fakes/FakeProgramExit.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

const std::wstring kUrl = L"http://updates.test/files/Hoardbook/Hoardbook.lua";

class Downloads : public PortsFixture {
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
    // As the start-up check asks: failures boxed.
    DownloadResult get(const std::wstring& url) { return transfers.download(url, FailureReport::Box); }
    bool save(const std::wstring& url, const std::wstring& path) {
        return static_cast<bool>(transfers.downloadToFile(url, path, FailureReport::Box));
    }

    FakeProgramExit programExit{process};
    Transfers transfers{http, boxes, shell, *files, process, programExit, codepage, messages, 60000};
};

TEST_F(Downloads, GetsTheUrlUnchangedWithNoBodyAndNoHeader) {
    answer(L"line 1\r\nline 2");
    const std::wstring url = L"http://updates.test/files/Hoardbook/Some File.lua?x=1";
    const DownloadResult result = get(url);
    EXPECT_EQ(result.text, L"line 1\r\nline 2");
    EXPECT_EQ(result.failure, L"");
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

TEST_F(Downloads, AFailureIsShownOnceAndYieldsItsReasonAndNoText) {
    failWith(FakeResponse::FailAt::Send, L"A connection with the server could not be established");
    const DownloadResult result = get(kUrl);
    EXPECT_FALSE(result.text.has_value());
    EXPECT_EQ(result.failure, L"A connection with the server could not be established");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              L"Error Downloading File: " + kUrl + L"\r\n\r\nA connection with the server could not be established");
    EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::None);
    EXPECT_TRUE(messages.entries.empty()) << "downloads do not log";
}

TEST_F(Downloads, AnHttpErrorStatusIsAFailureNamingUrlAndStatus) {
    answer(L"<html>404 Not Found</html>", 404);
    const DownloadResult result = get(kUrl);
    EXPECT_FALSE(result.text.has_value()) << "an error page is not the file";
    EXPECT_EQ(result.failure, L"The server answered with HTTP status 404.");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              L"Error Downloading File: " + kUrl + L"\r\n\r\nThe server answered with HTTP status 404.");
}

TEST_F(Downloads, ASilentServerEndsAtTheDeadline) {
    Transfers quick(http, boxes, shell, *files, process, programExit, codepage, messages, 2000);
    http.responder = [](const RecordedRequest&) {
        FakeResponse response;
        response.neverCompletes = true;
        return response;
    };
    EXPECT_FALSE(quick.download(kUrl, FailureReport::Box));
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
    EXPECT_FALSE(get(kUrl));
    EXPECT_TRUE(http.requests.at(0)->aborted);
    EXPECT_LE(process.nowMs - started, 21000) << "start-up waits for this check before showing the window";
    EXPECT_GE(process.nowMs - started, 20000);
}

TEST_F(Downloads, StoresTheBytesTheServerSentWithOneLineBreakAdded) {
    const std::string cases[] = {
        "## Version: 2.1",
        "a\r\nb\r\n",  // already ended: a second line break
        "",            // an empty body: a file of only CR LF
        "lone\nfeeds\n",
        // Localised strings in UTF-8, which no code page holds together.
        "L = { \"Gegenst\xC3\xA4nde\", \"\xD0\x91\xD0\xB0\xD0\xBD\xD0\xBA\", \"\xE5\x85\xAC\xE4\xBC\x9A\" }\r\n",
        std::string("bytes\0\xFF\xFE of any kind", 20),
    };
    for (const std::string& bytes : cases) {
        http.responder = [&bytes](const RecordedRequest&) {
            FakeResponse response;
            response.text = L"(decoded text, not to be stored)";
            response.body = bytes;
            return response;
        };
        EXPECT_TRUE(save(kUrl, target()));
        EXPECT_EQ(temp.read("Hoardbook.lua"), bytes + "\r\n");
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Downloads, ACallersShorterBoundEndsTheWaitSooner) {
    http.responder = [](const RecordedRequest&) {
        FakeResponse response;
        response.neverCompletes = true;
        return response;
    };
    const auto started = process.nowMs;
    const DownloadResult result = transfers.download(kUrl, FailureReport::LogOnly, 1500);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.failure, L"The server did not answer within 1.5 seconds; the request was cancelled.");
    EXPECT_LE(process.nowMs - started, 2000);
    // Never longer than the downloads' own bound.
    const auto again = process.nowMs;
    EXPECT_FALSE(transfers.downloadToFile(kUrl, target(), FailureReport::LogOnly, 90000));
    EXPECT_LE(process.nowMs - again, kDownloadDeadlineMs + 1000);
    EXPECT_EQ(messages.entries.size(), 0u);
    EXPECT_FALSE(temp.exists("Hoardbook.lua"));
}

TEST_F(Downloads, AFailedDownloadLeavesTheFileAsItWas) {
    temp.write("Hoardbook.lua", "good add-on file\r\n");
    failWith(FakeResponse::FailAt::Poll, L"The connection was reset");
    EXPECT_FALSE(save(kUrl, target()));
    EXPECT_EQ(temp.read("Hoardbook.lua"), "good add-on file\r\n");

    EXPECT_FALSE(save(kUrl, target("New.lua")));
    EXPECT_FALSE(temp.exists("New.lua"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text.rfind(L"Error Downloading File: ", 0), 0u);
}

TEST_F(Downloads, AnErrorPageNeverReplacesTheFile) {
    temp.write("Hoardbook.lua", "good add-on file\r\n");
    for (int status : {404, 500, 403, 0}) {
        answer(L"<html>error page</html>", status);
        EXPECT_FALSE(save(kUrl, target())) << status;
        EXPECT_FALSE(save(kUrl, target("Missing.lua"))) << status;
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
        EXPECT_TRUE(save(kUrl, target())) << status;
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
    EXPECT_EQ(get(kUrl).text.value_or(L"").size(), kList) << "the bound itself is accepted";
    EXPECT_EQ(http.requests.back()->responseLimit, kList);

    answer(std::wstring(kList + 1, L'v'));
    EXPECT_FALSE(get(kUrl));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Error Downloading File: " + kUrl +
                                       L"\r\n\r\nThe server's answer is larger than 64 KB; the request was cancelled.");

    temp.write("Hoardbook.lua", "good add-on file\r\n");
    answer(std::wstring(kFile + 1, L'f'));
    EXPECT_FALSE(save(kUrl, target()));
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
    EXPECT_FALSE(save(kUrl, path));
    ASSERT_EQ(boxes.shown.size(), 1u);
    const std::wstring prefix = L"Saving of file " + path + L" Failed for the following reason: ";
    EXPECT_EQ(boxes.shown[0].text.rfind(prefix, 0), 0u) << boxes.shown[0].text;
    EXPECT_GT(boxes.shown[0].text.size(), prefix.size()) << "the reason is given";
    EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
    EXPECT_FALSE(temp.exists("NoSuchFolder"));
}

TEST_F(Downloads, LogOnlyShowsNoBoxAndHandsEveryReasonToTheCaller) {
    failWith(FakeResponse::FailAt::Poll, L"The connection was reset");
    DownloadResult result = transfers.download(kUrl, FailureReport::LogOnly);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.failure, L"The connection was reset");

    answer(L"<html>error page</html>", 500);
    result = transfers.downloadToFile(kUrl, target(), FailureReport::LogOnly);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.failure, L"The server answered with HTTP status 500.");

    answer(L"content");
    const std::wstring path = temp.corePath("NoSuchFolder") + sep() + L"Hoardbook.lua";
    result = transfers.downloadToFile(kUrl, path, FailureReport::LogOnly);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.failure.rfind(L"Saving of file " + path + L" Failed for the following reason: ", 0), 0u)
        << result.failure;

    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(messages.entries.empty()) << "the caller logs what it was handed";
    EXPECT_FALSE(temp.exists("Hoardbook.lua"));
}

// QuickDownload and QuickDownloadToFile: the text or nothing, and whether
// the file was written.
TEST_F(Downloads, GiveTheTextOrNothingAndWhetherTheFileWasWritten) {
    http.responder = [](const RecordedRequest& request) {
        FakeResponse response = Answer(L"body");
        if (request.url.find(L"missing") != std::wstring::npos) response.status = 404;
        return response;
    };
    EXPECT_EQ(get(kUrl).text, L"body");
    EXPECT_FALSE(get(kUrl + L"missing").text);
    EXPECT_TRUE(save(kUrl, temp.corePath("a.lua")));
    EXPECT_FALSE(save(kUrl + L"missing", temp.corePath("b.lua")));
    EXPECT_EQ(temp.read("a.lua"), "body\r\n");
    EXPECT_FALSE(temp.exists("b.lua"));
    EXPECT_EQ(boxes.shown.size(), 2u) << "each failure is boxed";
}

}  // namespace
}  // namespace hb::test
