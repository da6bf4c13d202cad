// The upload body, byte for byte as the website's parser receives it.

#include <gtest/gtest.h>

#include "net/UploadBody.h"

namespace hb {
namespace {

// The body as the site has always received it, around the three values.
std::string Expected(const std::string& login, const std::string& password, const std::string& data) {
    return "--AaB03x\r\n"
           "content-disposition: form-data; name=\"login\"\r\n"
           "\r\n" +
           login +
           "\r\n"
           "--AaB03x\r\n"
           "content-disposition: form-data; name=\"password\"\r\n"
           "\r\n" +
           password +
           "\r\n"
           "--AaB03x\r\n"
           "content-disposition: form-data; name=\"thefile\"; filename=\"Hoardbook.lua\"\r\n"
           "Content-Type: text/plain\r\n"
           "\r\n" +
           data +
           "\r\n"
           "--AaB03x--";
}

TEST(UploadBody, IsTheFormatByteForByte) {
    const std::string body = BuildUploadBody(L"Thrall", L"secret", "HoardbookData = {}\r\n");
    EXPECT_EQ(body,
              "--AaB03x\r\ncontent-disposition: form-data; name=\"login\"\r\n\r\nThrall\r\n"
              "--AaB03x\r\ncontent-disposition: form-data; name=\"password\"\r\n\r\nsecret\r\n"
              "--AaB03x\r\ncontent-disposition: form-data; name=\"thefile\"; filename=\"Hoardbook.lua\"\r\n"
              "Content-Type: text/plain\r\n\r\nHoardbookData = {}\r\n\r\n--AaB03x--");
}

TEST(UploadBody, EmptyValuesKeepTheirParts) {
    EXPECT_EQ(BuildUploadBody(L"", L"pw", "d"), Expected("", "pw", "d"));
    EXPECT_EQ(BuildUploadBody(L"me", L"", "d"), Expected("me", "", "d"));
    // Empty data: the blank line after the part's headers is followed
    // directly by the closing line break.
    const std::string emptyData = BuildUploadBody(L"me", L"pw", "");
    EXPECT_EQ(emptyData, Expected("me", "pw", ""));
    EXPECT_NE(emptyData.find("Content-Type: text/plain\r\n\r\n\r\n--AaB03x--"), std::string::npos);
}

TEST(UploadBody, DataEndingWithALineBreakGetsASecondOne) {
    const std::string body = BuildUploadBody(L"me", L"pw", "x = 1\r\n");
    EXPECT_EQ(body, Expected("me", "pw", "x = 1\r\n"));
    EXPECT_EQ(body.substr(body.size() - 19), "x = 1\r\n\r\n--AaB03x--");
}

TEST(UploadBody, EncodesLoginAndPasswordButNotTheData) {
    const std::string body = BuildUploadBody(L"Big Boss", L"50%+", "a b&c=%\r\n");
    EXPECT_EQ(body, Expected("Big+Boss", "50%25%2B", "a b&c=%\r\n"));
}

TEST(UploadBody, SendsLoginAndPasswordAsUtf8) {
    const std::string body = BuildUploadBody(L"J\u00f6rmungandr", L"\u20ac uro", "");
    EXPECT_EQ(body, Expected("J\xC3\xB6rmungandr", "\xE2\x82\xAC+uro", ""));
}

TEST(UploadBody, PassesEveryDataByteThroughUnchanged) {
    std::string data;
    for (int byte = 0; byte < 256; ++byte) data.push_back(static_cast<char>(byte));
    data += "--AaB03x\r\n";  // not checked for the boundary, as the site expects
    data += "name = \"\xC3\x89lodie\"\r\n";
    EXPECT_EQ(BuildUploadBody(L"me", L"pw", data), Expected("me", "pw", data));
}

}  // namespace
}  // namespace hb
