// Form encoding of the login and password, and their UTF-8 form on the wire.

#include <gtest/gtest.h>

#include "net/EncodeForm.h"
#include "net/Utf8.h"

namespace hb {
namespace {

struct EncodeCase {
    const char* name;
    std::wstring input;
    std::wstring expected;
    friend void PrintTo(const EncodeCase& c, std::ostream* out) { *out << c.name; }
};

class EncodeFormCases : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeFormCases, GivesTheWebsitesEncoding) {
    EXPECT_EQ(EncodeForm(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EncodeForm, EncodeFormCases,
    ::testing::Values(
        EncodeCase{"Empty", L"", L""},
        EncodeCase{"Space", L"a b", L"a+b"},
        EncodeCase{"Plus", L"a+b", L"a%2Bb"},
        EncodeCase{"Percent", L"100%", L"100%25"},
        EncodeCase{"AlreadyEncodedIsEncodedAgain", L"%2B", L"%252B"},
        EncodeCase{"QueryString", L"x=1&y=2", L"x%3D1%26y%3D2"},
        EncodeCase{"BracketsAndBraces", L"[a]{b}", L"%5Ba%5D%7Bb%7D"},
        EncodeCase{"TabIsAPlusLikeASpace", L"two\twords", L"two+words"},
        EncodeCase{"CarriageReturnLineFeed", L"a\r\nb", L"a%0D%0Ab"},
        EncodeCase{"DoubleQuotes", L"say \"hi\"", L"say+%22hi%22"},
        EncodeCase{"PassThrough", L"/?#:;'\u00e9\u00df\u20ac~!@$^*()_-.,<>|\\", L"/?#:;'\u00e9\u00df\u20ac~!@$^*()_-.,<>|\\"},
        // A literal plus must stay distinguishable from an encoded blank,
        // and inserted percent signs must not be encoded twice.
        EncodeCase{"OrderOfReplacements", L"+ %\t", L"%2B+%25+"},
        EncodeCase{"EveryReplacedCharacter", L"%+ \t\n\r&={}[]\"", L"%25%2B++%0A%0D%26%3D%7B%7D%5B%5D%22"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncodeForm, LeavesItsArgumentUnchanged) {
    const std::wstring original = L"a b&c";
    std::wstring copy = original;
    EncodeForm(copy);
    EXPECT_EQ(copy, original);
}

TEST(ToUtf8, EncodesEachLengthOfSequence) {
    EXPECT_EQ(ToUtf8(L""), "");
    EXPECT_EQ(ToUtf8(L"Abc1"), "Abc1");
    EXPECT_EQ(ToUtf8(L"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(ToUtf8(L"\u20ac"), "\xE2\x82\xAC");
    EXPECT_EQ(ToUtf8(std::wstring(1, L'\0') + L"x"), std::string("\0x", 2));
}

TEST(ToUtf8, CombinesSurrogatePairsWhateverTheWidthOfWchar) {
    // U+1F600 as the two 16-bit units Windows keeps in its strings.
    std::wstring pair{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(ToUtf8(pair), "\xF0\x9F\x98\x80");
    if (sizeof(wchar_t) == 4) {
        std::wstring single(1, static_cast<wchar_t>(0x1F600));
        EXPECT_EQ(ToUtf8(single), "\xF0\x9F\x98\x80");
    }
}

TEST(ToUtf8, ReplacesLoneSurrogatesSoTheResultStaysValid) {
    std::wstring loneHigh{L'a', static_cast<wchar_t>(0xD83D), L'b'};
    std::wstring loneLow{static_cast<wchar_t>(0xDE00)};
    std::wstring highAtEnd{static_cast<wchar_t>(0xD83D)};
    EXPECT_EQ(ToUtf8(loneHigh), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(ToUtf8(loneLow), "\xEF\xBF\xBD");
    EXPECT_EQ(ToUtf8(highAtEnd), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace hb
