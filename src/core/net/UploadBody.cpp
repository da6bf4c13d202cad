#include "net/UploadBody.h"

#include "base/Utf8.h"
#include "net/EncodeForm.h"

namespace hb {

namespace {
constexpr std::string_view kLoginHead =
    "--AaB03x\r\n"
    "content-disposition: form-data; name=\"login\"\r\n"
    "\r\n";
constexpr std::string_view kPasswordHead =
    "\r\n"
    "--AaB03x\r\n"
    "content-disposition: form-data; name=\"password\"\r\n"
    "\r\n";
constexpr std::string_view kFileHead =
    "\r\n"
    "--AaB03x\r\n"
    "content-disposition: form-data; name=\"thefile\"; filename=\"Hoardbook.lua\"\r\n"
    "Content-Type: text/plain\r\n"
    "\r\n";
// No line break after the closing boundary: the site's parser has always
// seen the body end here.
constexpr std::string_view kTail =
    "\r\n"
    "--AaB03x--";
}  // namespace

std::string BuildUploadBody(const std::wstring& login, const std::wstring& password, std::string_view data) {
    const std::string loginBytes = ToUtf8(EncodeForm(login));
    const std::string passwordBytes = ToUtf8(EncodeForm(password));
    std::string body;
    // At most one allocation: the saved data can be many megabytes.
    body.reserve(kLoginHead.size() + loginBytes.size() + kPasswordHead.size() + passwordBytes.size() +
                 kFileHead.size() + data.size() + kTail.size());
    body += kLoginHead;
    body += loginBytes;
    body += kPasswordHead;
    body += passwordBytes;
    body += kFileHead;
    body += data;
    body += kTail;
    return body;
}

}  // namespace hb
