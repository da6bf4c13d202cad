// A server's answer as text: the site's "Inventory Uploaded" is compared
// with it exactly, so a byte-order mark must go and the bytes must be read
// in the encoding the answer states (its mark first, then the charset of
// its Content-Type, UTF-8 otherwise).

#include <gtest/gtest.h>

#include <string>

#include "uploads/UploadReplies.h"
#include "win32/HttpAnswer.h"

namespace hb::test {
namespace {

using win32::AnswerText;

struct Case {
    const char* name;
    std::string bytes;
    std::wstring contentType;
    std::wstring text;
};

// "Café", "€ 5" and "In" in the encodings below.
const Case kCases[] = {
    {"UTF-8 without a mark or a charset", "Caf\xC3\xA9", L"text/plain", L"Caf\u00E9"},
    {"UTF-8 without any Content-Type", "Caf\xC3\xA9", L"", L"Caf\u00E9"},
    {"UTF-8 with its mark", "\xEF\xBB\xBF" "Inventory Uploaded", L"text/plain", kReplyUploaded},
    {"UTF-8 named in the header", "Caf\xC3\xA9", L"text/html; charset=UTF-8", L"Caf\u00E9"},
    {"the mark decides before the charset", "\xEF\xBB\xBF" "Caf\xC3\xA9", L"text/plain; charset=iso-8859-1",
     L"Caf\u00E9"},
    {"UTF-16LE with its mark", std::string("\xFF\xFE" "I\0n\0\xE9\0\xAC\x20", 10), L"text/plain", L"In\u00E9\u20AC"},
    {"UTF-16BE with its mark", std::string("\xFE\xFF" "\0I\0n\0\xE9\x20\xAC", 10), L"text/plain", L"In\u00E9\u20AC"},
    {"UTF-16LE with its mark, the header naming UTF-8", std::string("\xFF\xFE" "I\0n\0", 6),
     L"text/plain; charset=utf-8", L"In"},
    {"UTF-16BE with its mark, the header naming UTF-8", std::string("\xFE\xFF" "\0I\0n", 6),
     L"text/plain; charset=utf-8", L"In"},
    {"UTF-16LE named in the header", std::string("I\0n\0", 4), L"text/plain; charset=utf-16le", L"In"},
    {"UTF-16BE named in the header", std::string("\0I\0n", 4), L"text/plain; charset=utf-16be", L"In"},
    {"ISO-8859-1, read as Windows-1252", "Caf\xE9 \x80", L"text/plain; charset=iso-8859-1", L"Caf\u00E9 \u20AC"},
    {"a quoted charset in capitals", "Caf\xE9", L"text/plain; Charset=\"ISO-8859-1\"", L"Caf\u00E9"},
    {"windows-1252", "\x80 5", L"text/plain;charset=windows-1252", L"\u20AC 5"},
    {"a charset followed by another parameter", "\x80 5", L"text/plain; charset=windows-1252; format=flowed",
     L"\u20AC 5"},
    {"an unknown charset, read as UTF-8", "Caf\xC3\xA9", L"text/plain; charset=x-klingon", L"Caf\u00E9"},
    {"a code page the system lacks, read as UTF-8", "Caf\xC3\xA9", L"text/plain; charset=windows-99999",
     L"Caf\u00E9"},
    {"an empty body", "", L"text/plain; charset=utf-8", L""},
    {"an empty body in UTF-16", "", L"text/plain; charset=utf-16", L""},
    {"only the UTF-8 mark", "\xEF\xBB\xBF", L"text/plain", L""},
    {"only the UTF-16LE mark", "\xFF\xFE", L"text/plain", L""},
    {"only the UTF-16BE mark", "\xFE\xFF", L"text/plain", L""},
};

TEST(AnswerText, DropsTheMarkAndDecodesByTheStatedEncoding) {
    for (const Case& c : kCases) EXPECT_EQ(AnswerText(c.bytes, c.contentType), c.text) << c.name;
}

}  // namespace
}  // namespace hb::test
