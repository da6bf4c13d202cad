// The upload's multipart body, read back the way the website's multipart
// parser reads it: the saved data must arrive byte for byte, and no login
// or password can break the frame.
// Input: login and password (UTF-16 code units), then the saved data.

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>

#include "base/Utf8.h"
#include "net/EncodeForm.h"
#include "net/UploadBody.h"
#include "support/FuzzSupport.h"

using namespace hb;

namespace {

constexpr std::string_view kDelimiter = "\r\n--AaB03x";

struct Part {
    std::string headers;
    std::string content;
};

// The parts between the boundaries, or nothing when the frame is broken.
std::optional<std::vector<Part>> ReadParts(std::string_view body) {
    constexpr std::string_view kFirst = "--AaB03x\r\n";
    if (!body.starts_with(kFirst)) return std::nullopt;
    std::vector<Part> parts;
    std::size_t pos = kFirst.size();
    while (true) {
        const std::size_t next = body.find(kDelimiter, pos);
        if (next == std::string_view::npos) return std::nullopt;
        const std::string_view part = body.substr(pos, next - pos);
        const std::size_t blank = part.find("\r\n\r\n");
        if (blank == std::string_view::npos) return std::nullopt;
        parts.push_back({std::string(part.substr(0, blank)), std::string(part.substr(blank + 4))});
        pos = next + kDelimiter.size();
        if (body.substr(pos) == "--") return parts;
        if (body.substr(pos, 2) != "\r\n") return std::nullopt;
        pos += 2;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::wstring login = fuzz::Utf16Units(input.ConsumeRandomLengthString(64));
    const std::wstring password = fuzz::Utf16Units(input.ConsumeRandomLengthString(64));
    const std::string savedData = input.ConsumeRemainingBytesAsString();

    const std::string body = BuildUploadBody(login, password, savedData);
    const std::string loginField = ToUtf8(EncodeForm(login));
    const std::string passwordField = ToUtf8(EncodeForm(password));

    // The saved data sits unchanged just before the closing boundary.
    FUZZ_CHECK(body.size() >= savedData.size() + kDelimiter.size() + 2);
    const std::size_t dataStart = body.size() - kDelimiter.size() - 2 - savedData.size();
    FUZZ_CHECK(body.compare(dataStart, savedData.size(), savedData) == 0);
    FUZZ_CHECK(body.ends_with("\r\n--AaB03x--"));

    // Encoded fields hold no line break, so they never hold the delimiter.
    FUZZ_CHECK(loginField.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(passwordField.find_first_of("\r\n") == std::string::npos);

    // The fixed boundary is part of the wire format: saved data that holds
    // the delimiter itself (or starts with its dashes, right after the part's
    // blank line) is the one thing that cannot be framed.
    if (("\r\n" + savedData).find(kDelimiter) != std::string::npos) return 0;
    const auto parts = ReadParts(body);
    FUZZ_CHECK(parts.has_value());
    FUZZ_CHECK(parts->size() == 3);
    FUZZ_CHECK((*parts)[0].headers == "content-disposition: form-data; name=\"login\"");
    FUZZ_CHECK((*parts)[0].content == loginField);
    FUZZ_CHECK((*parts)[1].headers == "content-disposition: form-data; name=\"password\"");
    FUZZ_CHECK((*parts)[1].content == passwordField);
    FUZZ_CHECK((*parts)[2].headers.find("name=\"thefile\"; filename=\"Hoardbook.lua\"") != std::string::npos);
    FUZZ_CHECK((*parts)[2].content == savedData);
    return 0;
}
