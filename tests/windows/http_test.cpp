// Both real transports, XMLHTTP under COM (Windows) and WinHTTP (Wine),
// against the reference guild site and update server (started by
// tools/with-servers, which exports their ports and folders). Hostile
// servers are in http_transport_test.cpp.

#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "HostFiles.h"
#include "net/HttpWait.h"
#include "net/UploadBody.h"
#include "windows/TransportForm.h"

namespace hb::test {
namespace {

std::wstring Environment(const wchar_t* name) { return EnvironmentText(name); }
std::wstring HostFolder(const wchar_t* variable) { return HostPath(EnvironmentText(variable)).wstring(); }

// Every byte value, UTF-8 text and line ends of all kinds.
std::string AwkwardData() {
    std::string data = "HoardbookData = {\r\n  [\"\xC3\x89lodie-Silvermoon\"] = \"\xE2\x82\xAC 5\",\r\n";
    for (int byte = 0; byte < 256; ++byte) data.push_back(static_cast<char>(byte));
    data += "\n\r\r\n}\r\n";
    return data;
}

class Winsock {
public:
    Winsock() { ::WSAStartup(MAKEWORD(2, 2), &data_); }
    ~Winsock() { ::WSACleanup(); }

private:
    WSADATA data_;
};

// A loopback socket on a port of the system's choosing.
class LoopbackSocket {
public:
    LoopbackSocket() : socket_(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int length = sizeof address;
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackSocket() { close(); }
    // The system completes connections to a listening socket by itself;
    // nobody ever reads or answers them.
    void listenSilently() { ::listen(socket_, 8); }
    void close() {
        if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    int port() const { return port_; }

private:
    SOCKET socket_;
    int port_ = 0;
};

class HttpAgainstSite : public TransportForm {
protected:
    void SetUp() override {
        ASSERT_TRUE(com.ok());
        ASSERT_FALSE(sitePort.empty()) << "run through tools/with-servers (ctest does)";
        options.httpDeadlineMs = 20000;
        makeTransfers();
        window.setText(Control::URL, L"127.0.0.1:" + sitePort);
        window.setText(Control::Login, L"Officer Bob");
        window.setText(Control::Password, L"p%ss w0rd+\u00fc");
        WriteBytes(siteData + L"\\site.json",
                   "{\"accounts\": {\"Officer Bob\": \"p%ss w0rd+\xC3\xBC\"}}");
    }

    // The folder of the site's latest request: the servers live for the
    // whole executable, so earlier tests' requests are there too.
    static std::wstring latest(const std::wstring& data) {
        int count = 0;
        while (::GetFileAttributesW((data + L"\\received\\" + std::to_wstring(count + 1)).c_str()) !=
               INVALID_FILE_ATTRIBUTES)
            ++count;
        return data + L"\\received\\" + std::to_wstring(count);
    }
    std::wstring updateUrl(const std::string& name) const {
        return L"http://127.0.0.1:" + sitePort + L"/files/Hoardbook/" + std::wstring(name.begin(), name.end());
    }
    void publish(const std::string& name, const std::string& bytes) {
        WriteBytes(siteData + L"\\updates\\files\\Hoardbook\\" + std::wstring(name.begin(), name.end()), bytes);
    }
    std::wstring log() const { return window.text(Control::Data); }

    const std::wstring sitePort = Environment(L"HB_SITE_PORT");
    const std::wstring siteData = HostFolder(L"HB_SITE_DATA");
    const std::wstring rawPort = Environment(L"HB_RAW_PORT");
    const std::wstring rawData = HostFolder(L"HB_RAW_DATA");
};

TEST_P(HttpAgainstSite, AnUploadArrivesAsSentAndIsParsedByTheSite) {
    const std::string data = AwkwardData();
    EXPECT_EQ(uploadReply(data), L"Inventory Uploaded");
    EXPECT_TRUE(boxes.shown.empty());

    const std::wstring folder = latest(siteData);
    EXPECT_EQ(ReadBytes(folder + L"\\login"), "Officer+Bob");
    EXPECT_EQ(ReadBytes(folder + L"\\password"), "p%25ss+w0rd%2B\xC3\xBC");
    EXPECT_EQ(ReadBytes(folder + L"\\thefile"), data);
    const std::string meta = ReadBytes(folder + L"\\meta.json");
    EXPECT_NE(meta.find("\"file_name\": \"Hoardbook.lua\""), std::string::npos) << meta;
    EXPECT_NE(meta.find("\"file_type\": \"text/plain\""), std::string::npos) << meta;
    EXPECT_NE(meta.find("\"login\": \"Officer Bob\""), std::string::npos) << meta;
}

TEST_P(HttpAgainstSite, TheWireCarriesOurBodyByteForByteWithTheOneContentType) {
    window.setText(Control::URL, L"127.0.0.1:" + rawPort);
    const std::string data = AwkwardData();
    EXPECT_EQ(uploadReply(data), L"Inventory Uploaded");
    const std::wstring folder = latest(rawData);
    EXPECT_EQ(ReadBytes(folder + L"\\request"), BuildUploadBody(L"Officer Bob", L"p%ss w0rd+\u00fc", data));
    const std::string meta = ReadBytes(folder + L"\\meta.json");
    EXPECT_NE(meta.find("\"content_type\": \"multipart/form-data, boundary=AaB03x\""), std::string::npos) << meta;
    EXPECT_NE(meta.find("\"method\": \"POST\""), std::string::npos) << meta;
}

TEST_P(HttpAgainstSite, EmptyDataAndEmptyLoginStillArriveAsParts) {
    window.setText(Control::Login, L"");
    EXPECT_EQ(uploadReply(""), L"Invalid Login/Password");
    const std::wstring folder = latest(siteData);
    EXPECT_EQ(ReadBytes(folder + L"\\login"), "");
    EXPECT_EQ(ReadBytes(folder + L"\\thefile"), "");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_P(HttpAgainstSite, AWrongPasswordComesBackAsTheSitesText) {
    window.setText(Control::Password, L"wrong");
    EXPECT_EQ(uploadReply("x\r\n"), L"Invalid Login/Password");
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(log(), L"");
}

TEST_P(HttpAgainstSite, TimersRunWhileTheUploadWaits) {
    static int ticks = 0;
    ticks = 0;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    // Large enough that the exchange spans several timer periods.
    std::string data(8 * 1024 * 1024, 'x');
    EXPECT_EQ(uploadReply(data), L"Inventory Uploaded");
    ::KillTimer(nullptr, timer);
    EXPECT_GT(ticks, 0);
}

void ExpectFailureReported(const FakeMessageBoxes& boxes, const std::wstring& log, const std::wstring& url,
                           const std::string& data) {
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(boxes.shown[0].text.empty());
    EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
    EXPECT_NE(log.find(L"Error Sending the following data to " + url + L": \r\n-----Start-----\r\n" +
                       std::wstring(data.begin(), data.end()) + L"-----End-----"),
              std::wstring::npos)
        << log;
    EXPECT_EQ(log.find(L"w0rd"), std::wstring::npos) << "the password is never logged";
}

TEST_P(HttpAgainstSite, ARefusedConnectionIsAReportedFailureAtOnce) {
    Winsock winsock;
    LoopbackSocket closed;
    const std::wstring port = std::to_wstring(closed.port());
    closed.close();
    // Known: Wine's XMLHTTP notices only when our deadline ends the wait.
    options.httpDeadlineMs = xmlHttpUnderWine() ? 2000 : 20000;
    makeTransfers();
    window.setText(Control::URL, L"127.0.0.1:" + port);

    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(uploadReply("saved data\r\n"), L"");
    EXPECT_LT(::GetTickCount64() - start, xmlHttpUnderWine() ? 2000u + 3000u : 2000u);
    ExpectFailureReported(boxes, log(), L"http://127.0.0.1:" + port + L"/memberbankupload.php", "saved data\r\n");
}

TEST_P(HttpAgainstSite, ASilentServerEndsAtTheDeadline) {
    Winsock winsock;
    LoopbackSocket silent;
    silent.listenSilently();
    const std::wstring port = std::to_wstring(silent.port());
    options.httpDeadlineMs = 1500;
    makeTransfers();
    window.setText(Control::URL, L"127.0.0.1:" + port);

    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(uploadReply("saved data\r\n"), L"");
    const ULONGLONG waited = ::GetTickCount64() - start;
    EXPECT_GE(waited, 1500u);
    EXPECT_LT(waited, 1500u + 3000u);
    ExpectFailureReported(boxes, log(), L"http://127.0.0.1:" + port + L"/memberbankupload.php", "saved data\r\n");
    EXPECT_EQ(boxes.shown[0].text, L"The server did not answer within 1.5 seconds; the request was cancelled.");
}

TEST_P(HttpAgainstSite, DownloadsStoreTheTextWithOneLineBreakAdded) {
    publish("NoBreak.txt", "## Version: 2.0");
    publish("WithBreak.lua", "a = 1\r\nb = 2\r\n");
    publish("Empty.txt", "");
    const std::pair<std::string, std::string> cases[] = {
        {"NoBreak.txt", "## Version: 2.0\r\n"},
        {"WithBreak.lua", "a = 1\r\nb = 2\r\n\r\n"},
        {"Empty.txt", "\r\n"},
    };
    for (const auto& [name, stored] : cases) {
        const std::wstring target = temp.corePath(name);
        EXPECT_TRUE(downloadedToFile(updateUrl(name), target)) << name;
        EXPECT_EQ(ReadBytes(target), stored) << name;
    }
    EXPECT_EQ(downloadText(updateUrl("NoBreak.txt")), L"## Version: 2.0");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_P(HttpAgainstSite, A404WritesNoFileAndSaysSo) {
    temp.write("Hoardbook.lua", "good add-on file\r\n");
    EXPECT_FALSE(downloadedToFile(updateUrl("Missing.lua"), temp.corePath("Hoardbook.lua")));
    EXPECT_FALSE(downloadedToFile(updateUrl("Missing.lua"), temp.corePath("New.lua")));
    EXPECT_EQ(temp.read("Hoardbook.lua"), "good add-on file\r\n");
    EXPECT_FALSE(temp.exists("New.lua"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, L"Error Downloading File: " + updateUrl("Missing.lua") +
                                       L"\r\n\r\nThe server answered with HTTP status 404.");
    EXPECT_EQ(downloadText(updateUrl("Missing.lua")), L"");
}

TEST_P(HttpAgainstSite, TheAnswersBytesArriveUnchanged) {
    std::string bytes = "## Version: 2.0\r\n\xC3\x89lodie\n";
    for (int byte = 0; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
    publish("Bytes.bin", bytes);
    auto request = transfers->CreateXMLObject();
    request->Open(L"GET", updateUrl("Bytes.bin"), true);
    request->send();
    WaitForCompletion(*request, process, options.httpDeadlineMs);
    EXPECT_EQ(request->status(), 200);
    EXPECT_EQ(request->responseBody(), bytes);
}

TEST_P(HttpAgainstSite, AnAnswerBeyondTheLimitFailsAndWritesNothing) {
    publish("Big.lua", std::string(64 * 1024 + 1, 'x'));
    publish("Limit.lua", std::string(64 * 1024, 'x'));
    EXPECT_EQ(downloadText(updateUrl("Limit.lua")).size(), 64u * 1024u) << "the bound itself is accepted";
    EXPECT_EQ(downloadText(updateUrl("Big.lua")), L"");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Error Downloading File: " + updateUrl("Big.lua") +
                                       L"\r\n\r\nThe server's answer is larger than 64 KB; the request was cancelled.");
}

TEST_P(HttpAgainstSite, AMissingTargetFolderGivesTheSavingMessage) {
    publish("Hoardbook.toc", "## Version: 2.0\r\n");
    const std::wstring path = temp.corePath("NoSuchFolder") + L"\\Hoardbook.toc";
    EXPECT_FALSE(downloadedToFile(updateUrl("Hoardbook.toc"), path));
    ASSERT_EQ(boxes.shown.size(), 1u);
    const std::wstring prefix = L"Saving of file " + path + L" Failed for the following reason: ";
    EXPECT_EQ(boxes.shown[0].text.rfind(prefix, 0), 0u) << boxes.shown[0].text;
    EXPECT_GT(boxes.shown[0].text.size(), prefix.size());
    EXPECT_FALSE(temp.exists("NoSuchFolder"));
}

TEST_P(HttpAgainstSite, ADownloadFromARefusedPortFailsAtOnceAndKeepsTheFile) {
    Winsock winsock;
    LoopbackSocket closed;
    const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(closed.port()) + L"/files/Hoardbook/x";
    closed.close();
    options.httpDeadlineMs = xmlHttpUnderWine() ? 1500 : 20000;
    makeTransfers();
    temp.write("x", "kept\r\n");
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(downloadedToFile(url, temp.corePath("x")));
    EXPECT_LT(::GetTickCount64() - start, xmlHttpUnderWine() ? 1500u + 3000u : 2000u);
    EXPECT_EQ(temp.read("x"), "kept\r\n");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind(L"Error Downloading File: " + url + L"\r\n\r\n", 0), 0u);
}

TEST_P(HttpAgainstSite, OnlyALaterVersionInTheChainIsUsedWithoutAMessage) {
    if (GetParam() == Transport::WinHttp) GTEST_SKIP() << "the class names choose among XMLHTTP versions only";
    makeTransfers({L"MSXML2.XMLHTTP.6.0", L"MSXML2.XMLHTTP.4.0"});
    auto request = transfers->CreateXMLObject();
    ASSERT_NE(request, nullptr);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(downloadText(L"http://127.0.0.1:" + sitePort + L"/__alive"), L"ok");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(Win32HttpFactory, CreatesTheRuntimesObjectsAndRefusesWhatItIsTold) {
    win32::ComInit com;
    ASSERT_TRUE(com.ok());
    win32::Win32HttpFactory all;
    EXPECT_NE(all.create(L"MSXML2.XMLHTTP.3.0"), nullptr);
    EXPECT_EQ(all.create(L"No.Such.Class"), nullptr);
    win32::Win32HttpFactory refusing({L"MSXML2.XMLHTTP.3.0"});
    EXPECT_EQ(refusing.create(L"MSXML2.XMLHTTP.3.0"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Both, HttpAgainstSite, ::testing::Values(Transport::XmlHttp, Transport::WinHttp),
                         TransportName);

}  // namespace
}  // namespace hb::test
