// The upload request: what goes out, the wait, and the failure path.

#include <gtest/gtest.h>

#include "net/Transfers.h"
#include "net/UploadBody.h"
#include "net/UploadReport.h"
#include "fakes/FakeProgramExit.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

FakeResponse Failure(FakeResponse::FailAt at, std::wstring description = FakeResponse{}.description) {
    FakeResponse response;
    response.failAt = at;
    response.description = std::move(description);
    return response;
}

class UploadRequest : public PortsFixture {
protected:
    // As the login and the watcher's first failure send: failures boxed.
    UploadResult send(const std::string& data) { return transfers.upload(site, data, FailureReport::Box); }
    // The log's entries, oldest first, one per line.
    std::wstring log() const {
        std::wstring text;
        for (const auto& entry : messages.entries) text += entry + L"\n";
        return text;
    }
    const RecordedRequest& only() const { return *http.requests.at(0); }

    SiteLogin site{L"guild.example:8080", L"Officer Bob", L"p%ss w0rd"};
    FakeProgramExit programExit{process};
    Transfers transfers{http, boxes, shell, *files, process, programExit, codepage, messages, 60000};
};

TEST_F(UploadRequest, PostsTheFormAndReturnsTheAnswer) {
    http.responder = [](const RecordedRequest&) { return Answer(L"Inventory Uploaded"); };

    const UploadResult result = send("data\r\n");
    EXPECT_TRUE(result.answered);
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.reply, L"Inventory Uploaded");
    EXPECT_EQ(result.failure, L"");

    ASSERT_EQ(http.requests.size(), 1u);
    const RecordedRequest& request = only();
    EXPECT_EQ(request.method, L"POST");
    EXPECT_EQ(request.url, L"http://guild.example:8080/memberbankupload.php");
    EXPECT_TRUE(request.async);
    ASSERT_EQ(request.headers.size(), 1u);
    EXPECT_EQ(request.headers[0].first, L"Content-Type");
    EXPECT_EQ(request.headers[0].second, L"multipart/form-data, boundary=AaB03x");
    ASSERT_TRUE(request.body.has_value());
    EXPECT_NE(request.body->find("\r\n\r\nOfficer+Bob\r\n"), std::string::npos);
    EXPECT_NE(request.body->find("\r\n\r\np%25ss+w0rd\r\n"), std::string::npos);
    EXPECT_EQ(request.body->substr(request.body->size() - 18), "data\r\n\r\n--AaB03x--");
    EXPECT_TRUE(request.released);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(log(), L"");
}

TEST_F(UploadRequest, ReturnsASuccessAnswerAsItIsWithItsStatus) {
    // The caller judges the whole text; a trailing line break makes it a
    // different answer.
    for (int status : {200, 201, 204, 1223}) {
        http.responder = [status](const RecordedRequest&) {
            FakeResponse response = Answer(L"Inventory Uploaded\n");
            response.status = status;
            return response;
        };
        const UploadResult result = send("d");
        EXPECT_TRUE(result.answered) << status;
        EXPECT_EQ(result.status, status);
        EXPECT_EQ(result.reply, L"Inventory Uploaded\n");
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(UploadRequest, AnErrorStatusOrARedirectIsAFailureWhateverTheText) {
    struct Case {
        int status;
        std::wstring failure;
    };
    for (const Case& c : {Case{500, L"The website answered with HTTP status 500 instead of taking the upload."},
                          Case{404, L"The website answered with HTTP status 404 instead of taking the upload."},
                          Case{302, L"The website answered with a redirect (HTTP status 302) instead of taking the "
                                    L"upload; the data was not sent on."},
                          Case{307, L"The website answered with a redirect (HTTP status 307) instead of taking the "
                                    L"upload; the data was not sent on."}}) {
        http.responder = [&c](const RecordedRequest&) {
            FakeResponse response = Answer(L"Inventory Uploaded");
            response.status = c.status;
            return response;
        };
        boxes.shown.clear();
        messages.entries.clear();
        const UploadResult result = send("lost data\r\n");
        EXPECT_FALSE(result.answered) << c.status;
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.reply, L"") << "the answer's text is not the site taking the upload";
        EXPECT_EQ(result.failure, c.failure);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, c.failure);
        EXPECT_NE(log().find(L"Error Sending the following data to http://guild.example:8080/memberbankupload.php: "
                             L"\r\n-----Start-----\r\nlost data\r\n-----End-----"),
                  std::wstring::npos)
            << log();
    }
}

// A plain site whose hosting now answers every plain request with a move to
// https on the same host, and the site itself at that address.
class MovedToHttps : public UploadRequest {
protected:
    MovedToHttps() {
        http.responder = [this](const RecordedRequest& request) {
            if (request.url.starts_with(L"https://")) return Answer(httpsReply);
            FakeResponse moved = Answer(L"<html>Moved</html>");
            moved.status = status;
            moved.headers = {{L"Content-Type", L"text/html"}, {L"location", location}};
            return moved;
        };
    }
    int status = 301;
    std::wstring location = L"https://GUILD.example:8443/memberbankupload.php";
    std::wstring httpsReply = L"Inventory Uploaded";
};

TEST_F(MovedToHttps, TheUploadFollowsOnceWithTheSameBodyAndReportsTheNewAddress) {
    for (int status : {301, 302, 307, 308}) {
        this->status = status;
        http.requests.clear();
        const UploadResult result = send("the data\r\n");
        EXPECT_TRUE(result.answered) << status;
        EXPECT_EQ(result.reply, L"Inventory Uploaded");
        EXPECT_EQ(result.movedTo, L"https://guild.example:8443") << "the user's spelling of the host, the new port";
        ASSERT_EQ(http.requests.size(), 2u);
        EXPECT_EQ(http.requests[1]->method, L"POST");
        EXPECT_EQ(http.requests[1]->url, L"https://guild.example:8443/memberbankupload.php");
        EXPECT_EQ(http.requests[1]->body, http.requests[0]->body);
        EXPECT_EQ(http.requests[1]->headers, http.requests[0]->headers);
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(log(), L"");
}

TEST_F(MovedToHttps, AnyOtherRedirectStaysAFailureWithItsOwnText) {
    for (const std::wstring& target :
         {std::wstring(L"https://www.guild.example/memberbankupload.php"), std::wstring(L"https://evil.example/memberbankupload.php"),
          std::wstring(L"https://guild.example:8443/login.php"), std::wstring(L"http://guild.example:8081/memberbankupload.php"),
          std::wstring(L"/memberbankupload.php"), std::wstring()}) {
        location = target;
        http.requests.clear();
        boxes.shown.clear();
        const UploadResult result = send("d");
        EXPECT_FALSE(result.answered) << target;
        EXPECT_EQ(result.movedTo, L"");
        EXPECT_EQ(http.requests.size(), 1u) << target;
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, L"The website answered with a redirect (HTTP status 301) instead of taking "
                                       L"the upload; the data was not sent on.");
    }
    // A 303 turns a POST into a GET: never followed, even to the same page.
    location = L"https://guild.example/memberbankupload.php";
    status = 303;
    http.requests.clear();
    EXPECT_FALSE(send("d").answered);
    EXPECT_EQ(http.requests.size(), 1u);
}

TEST_F(MovedToHttps, AnHttpsSiteIsNeverRedirectedFurtherAndAFailureThereNamesTheUrlUsed) {
    // At the new address a redirect (to plain HTTP or anywhere) is not followed.
    site.host = L"https://guild.example";
    http.responder = [](const RecordedRequest&) {
        FakeResponse back = Answer(L"");
        back.status = 302;
        back.headers = {{L"Location", L"http://guild.example/memberbankupload.php"}};
        return back;
    };
    EXPECT_FALSE(send("d").answered);
    EXPECT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(only().url, L"https://guild.example/memberbankupload.php");
    EXPECT_NE(log().find(L"Error Sending the following data to https://guild.example/memberbankupload.php: "),
              std::wstring::npos);

    // A move whose https answer fails reports the https address, not the plain one.
    site.host = L"guild.example:8080";
    location = L"https://guild.example/memberbankupload.php";
    http.responder = [this](const RecordedRequest& request) {
        if (request.url.starts_with(L"https://")) return Failure(FakeResponse::FailAt::Poll, L"certificate");
        FakeResponse moved = Answer(L"");
        moved.status = 308;
        moved.headers = {{L"Location", location}};
        return moved;
    };
    messages.entries.clear();
    boxes.shown.clear();
    const UploadResult result = send("d");
    EXPECT_FALSE(result.answered);
    EXPECT_EQ(result.movedTo, L"");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"certificate");
    EXPECT_NE(log().find(L"to https://guild.example/memberbankupload.php: "), std::wstring::npos) << log();
}

TEST_F(UploadRequest, PumpsWindowMessagesWhileWaiting) {
    int pumpsSeenByRequest = -1;
    http.responder = [&](const RecordedRequest&) {
        FakeResponse response = Answer(L"Inventory Uploaded");
        response.pollsUntilDone = 5;
        response.whilePolling = [&] { pumpsSeenByRequest = process.pumpCount; };
        return response;
    };
    EXPECT_EQ(send("d").reply, L"Inventory Uploaded");
    EXPECT_EQ(process.pumpCount, 4);
    EXPECT_EQ(pumpsSeenByRequest, 4);
}

TEST_F(UploadRequest, ANestedRequestInsideTheWaitRunsToItsEnd) {
    std::wstring nestedAnswer;
    http.responder = [&](const RecordedRequest& request) {
        if (request.method == L"GET") return Answer(L"1.2.3");
        FakeResponse response = Answer(L"Inventory Uploaded");
        response.pollsUntilDone = 3;
        return response;
    };
    bool nested = false;
    process.onPump = [&] {
        if (nested) return;
        nested = true;  // a timer tick that downloads while the upload waits
        nestedAnswer =
            transfers.download(L"http://updates.test/files/Hoardbook/HoardbookVersion", FailureReport::LogOnly)
                .text.value_or(L"");
    };
    EXPECT_EQ(send("d").reply, L"Inventory Uploaded");
    EXPECT_EQ(nestedAnswer, L"1.2.3");
    EXPECT_EQ(http.requests.size(), 2u);
}

TEST_F(UploadRequest, EachUploadSendsExactlyItsOwnBody) {
    http.responder = [](const RecordedRequest&) { return Answer(L"Inventory Uploaded"); };
    send(std::string(5000, 'L') + "\r\n");
    send("short\r\n");  // after a longer one: no bytes of it may remain
    ASSERT_EQ(http.requests.size(), 2u);
    EXPECT_EQ(*http.requests[1]->body, BuildUploadBody(L"Officer Bob", L"p%ss w0rd", "short\r\n"));
}

TEST_F(UploadRequest, AnUploadNestedInTheWaitLeavesTheOuterOneIntact) {
    int opened = 0;
    http.responder = [&](const RecordedRequest&) {
        FakeResponse response = Answer(++opened == 1 ? L"outer done" : L"inner done");
        response.pollsUntilDone = 3;
        return response;
    };
    std::wstring inner;
    bool started = false;
    process.onPump = [&] {
        if (started) return;
        started = true;  // one upload starts inside the outer one's wait
        inner = send("inner\r\n").reply;
    };
    EXPECT_EQ(send("outer data\r\n").reply, L"outer done");
    EXPECT_EQ(inner, L"inner done");
    ASSERT_EQ(http.requests.size(), 2u);
    EXPECT_EQ(*http.requests[0]->body, BuildUploadBody(L"Officer Bob", L"p%ss w0rd", "outer data\r\n"));
    EXPECT_EQ(*http.requests[1]->body, BuildUploadBody(L"Officer Bob", L"p%ss w0rd", "inner\r\n"));
}

struct FailureCase {
    const char* name;
    FakeResponse::FailAt step;
    friend void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }
};

class UploadFailure : public UploadRequest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(UploadFailure, ShowsTheDescriptionThenLogsTheDataWithoutThePassword) {
    http.responder = [](const RecordedRequest&) {
        FakeResponse response;
        response.failAt = GetParam().step;
        response.description = L"The connection was reset";
        return response;
    };
    std::wstring logWhenBoxShown = L"unset";
    boxes.onShow = [&](const MessageBoxRequest&) { logWhenBoxShown = log(); };

    const UploadResult result = send("Hoardbook = {}\r\n");
    EXPECT_FALSE(result.answered);
    EXPECT_EQ(result.failure, L"The connection was reset");
    EXPECT_EQ(result.reply, L"");

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"The connection was reset");
    EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::None);
    EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(logWhenBoxShown, L"") << "the log entry follows the box";
    EXPECT_EQ(messages.entries, std::vector<std::wstring>{
                                    L"Error Sending the following data to http://guild.example:8080/memberbankupload.php: "
                                    L"\r\n-----Start-----\r\nHoardbook = {}\r\n-----End-----"});
    EXPECT_EQ(log().find(L"p%ss"), std::wstring::npos);
    EXPECT_EQ(log().find(L"p%25ss"), std::wstring::npos);
    EXPECT_TRUE(only().released);
}

INSTANTIATE_TEST_SUITE_P(AtEveryStep, UploadFailure,
                         ::testing::Values(FailureCase{"Open", FakeResponse::FailAt::Open},
                                           FailureCase{"Send", FakeResponse::FailAt::Send},
                                           FailureCase{"Poll", FakeResponse::FailAt::Poll},
                                           FailureCase{"Response", FakeResponse::FailAt::Response}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UploadRequest, AnAnswerBeyond64KilobytesIsAReportedFailure) {
    constexpr std::size_t kLimit = 64 * 1024;
    http.responder = [](const RecordedRequest&) {
        FakeResponse response;
        response.body = std::string(kLimit + 1, 'x');
        return response;
    };
    const UploadResult result = send("d\r\n");
    EXPECT_FALSE(result.answered);
    EXPECT_EQ(result.failure, L"The server's answer is larger than 64 KB; the request was cancelled.");
    EXPECT_EQ(only().responseLimit, kLimit);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"The server's answer is larger than 64 KB; the request was cancelled.");
    EXPECT_NE(log().find(L"-----Start-----\r\nd\r\n-----End-----"), std::wstring::npos);
    EXPECT_TRUE(only().released);
}

TEST_F(UploadRequest, LogsSavedDataInTheAnsiCodePage) {
    http.responder = [](const RecordedRequest&) { return Failure(FakeResponse::FailAt::Send); };
    send("name = \"Caf\xE9\"\r\n");
    EXPECT_NE(log().find(L"-----Start-----\r\nname = \"Caf\u00e9\"\r\n-----End-----"), std::wstring::npos);
}

TEST_F(UploadRequest, ALargeFailedUploadLogsTheStartOfItsDataInTheSameFrame) {
    http.responder = [](const RecordedRequest&) { return Failure(FakeResponse::FailAt::Send); };
    std::string data(kReportedDataLimit, 'd');
    data += std::string(20 * 1024 * 1024, 'e');
    send(data);
    EXPECT_EQ(messages.entries, std::vector<std::wstring>{
                                    L"Error Sending the following data to http://guild.example:8080/memberbankupload.php: "
                                    L"\r\n-----Start-----\r\n" +
                                    std::wstring(kReportedDataLimit, L'd') +
                                    L"\r\n\u2026 (20971520 more bytes)\r\n-----End-----"});

    // Up to the limit the data is shown whole.
    send(std::string(kReportedDataLimit, 'f'));
    ASSERT_EQ(messages.entries.size(), 2u);
    EXPECT_NE(messages.entries[1].find(L"-----Start-----\r\n" + std::wstring(kReportedDataLimit, L'f') + L"-----End-----"),
              std::wstring::npos);
}

TEST_F(UploadRequest, ASilentServerEndsAtTheDeadlineAsAReportedFailure) {
    Transfers quick(http, boxes, shell, *files, process, programExit, codepage, messages, 1500);
    site.host = L"silent.example";
    http.responder = [](const RecordedRequest&) {
        FakeResponse response;
        response.neverCompletes = true;
        return response;
    };
    const std::int64_t start = process.nowMs;

    const UploadResult result = quick.upload(site, "d\r\n", FailureReport::Box);
    EXPECT_FALSE(result.answered);

    const std::int64_t waited = process.nowMs - start;
    EXPECT_GE(waited, 1500);
    EXPECT_LT(waited, 1600);
    EXPECT_TRUE(only().aborted);
    EXPECT_TRUE(only().released);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"The server did not answer within 1.5 seconds; the request was cancelled.");
    EXPECT_NE(log().find(L"Error Sending the following data to http://silent.example/memberbankupload.php: "
                         L"\r\n-----Start-----\r\nd\r\n-----End-----"),
              std::wstring::npos);
}

TEST_F(UploadRequest, LogOnlyLogsTheFailureWithoutABox) {
    http.responder = [](const RecordedRequest&) {
        return Failure(FakeResponse::FailAt::Poll, L"The connection was reset");
    };
    const UploadResult result = transfers.upload(site, "d\r\n", FailureReport::LogOnly);
    EXPECT_FALSE(result.answered);
    EXPECT_EQ(result.failure, L"The connection was reset");
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].rfind(L"Error Sending the following data to ", 0), 0u);
}

// GetXML: the reply, or nothing after a failure, which is boxed and logged.
TEST_F(UploadRequest, TheReplyOrNothingAfterAFailure) {
    http.responder = [](const RecordedRequest&) { return Answer(L"Inventory Uploaded"); };
    EXPECT_EQ(send("data\r\n").reply, L"Inventory Uploaded");
    http.responder = [](const RecordedRequest&) {
        FakeResponse response = Answer(L"Inventory Uploaded");
        response.status = 500;
        return response;
    };
    EXPECT_EQ(send("data\r\n").reply, L"");
    EXPECT_EQ(boxes.shown.size(), 1u);
}

// The login, as the program makes it: the window's address, login and
// password, and its failure boxed and logged in the window with a stamp.
class LoginUpload : public FormFixture {
protected:
    LoginUpload() {
        installGame();  // with no saved data listed: the login sends empty data
        window.setText(Control::URL, L"guild.example:8080");
        window.setText(Control::Login, L"Officer Bob");
        window.setText(Control::Password, L"p%ss w0rd");
    }
};

TEST_F(LoginUpload, SendsTheWindowsFields) {
    http.responder = [](const RecordedRequest&) { return Answer(L"Inventory Uploaded"); };
    form->Command1_Click();
    EXPECT_EQ(http.requests.at(0)->url, L"http://guild.example:8080/memberbankupload.php");
    EXPECT_EQ(*http.requests.at(0)->body, BuildUploadBody(L"Officer Bob", L"p%ss w0rd", ""));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LoginUpload, AFailureIsBoxedAndLoggedInTheWindowWithATimeStamp) {
    http.responder = [](const RecordedRequest&) {
        return Failure(FakeResponse::FailAt::Send, L"The connection was reset");
    };
    form->Command1_Click();
    EXPECT_EQ(boxTexts(), (std::vector<std::wstring>{L"The connection was reset",
                                                     L"Invalid URL.  Please make sure you've entered it correctly"}));
    EXPECT_NE(window.text(Control::Data)
                  .find(process.dateTimeText +
                        L": Error Sending the following data to http://guild.example:8080/memberbankupload.php: "
                        L"\r\n-----Start-----\r\n-----End-----\r\n"),
              std::wstring::npos)
        << window.text(Control::Data);
}

TEST_F(LoginUpload, TheDefaultDeadlineIsAMinute) {
    EXPECT_EQ(Options{}.httpDeadlineMs, 60000);
    options = Options{};
    makeForm();
    http.responder = [](const RecordedRequest&) {
        FakeResponse response;
        response.neverCompletes = true;
        return response;
    };
    const std::int64_t start = process.nowMs;
    form->Command1_Click();
    EXPECT_GE(process.nowMs - start, 60000);
    EXPECT_LT(process.nowMs - start, 60100);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown[0].text, L"The server did not answer within 60 seconds; the request was cancelled.");
}

}  // namespace
}  // namespace hb::test
