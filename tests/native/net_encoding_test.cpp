// Form encoding of the login and password, and their UTF-8 form on the wire.

#include <gtest/gtest.h>

#include <vector>

#include "base/Utf8.h"
#include "net/EncodeForm.h"

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

// The login and password are encoded for the request and must stay as
// typed. The argument here is not const, so an encoder that wrote back into
// it (a reference parameter, a cast) would still build: this fails then.
TEST(EncodeForm, LeavesItsArgumentUnchanged) {
    const std::wstring original = L"a b&c";
    std::wstring typed = original;
    EXPECT_EQ(EncodeForm(typed), L"a+b%26c");
    EXPECT_EQ(typed, original);
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

TEST(Utf8KeepingSurrogates, GivesBackExactlyTheTextThatWentIn) {
    const wchar_t high = static_cast<wchar_t>(0xD83D);
    const wchar_t low = static_cast<wchar_t>(0xDE00);
    const std::vector<std::wstring> texts{
        L"",
        L"ACC\\Realm\\\u0141ukasz",
        L"\u041B\u0435\u043D\u0430 \u5C0F\u660E",
        std::wstring{high, low},             // a pair
        std::wstring{L'a', high, L'b'},      // lone surrogates, which NTFS names may hold
        std::wstring{low, high},             // reversed: two lone ones
        std::wstring{high},
        std::wstring(1, L'\0') + L"\uFEFF\uFFFF",
    };
    for (const auto& text : texts) EXPECT_EQ(FromUtf8(ToUtf8KeepingSurrogates(text)), text);

    if (sizeof(wchar_t) == 2) {
        EXPECT_EQ(ToUtf8KeepingSurrogates(std::wstring{high, low}), "\xF0\x9F\x98\x80");
    } else {
        // Where wchar_t holds code points, two surrogates are two units, each kept.
        EXPECT_EQ(ToUtf8KeepingSurrogates(std::wstring{high, low}), "\xED\xA0\xBD\xED\xB8\x80");
        EXPECT_EQ(ToUtf8KeepingSurrogates(std::wstring(1, static_cast<wchar_t>(0x1F600))), "\xF0\x9F\x98\x80");
    }
    EXPECT_EQ(ToUtf8KeepingSurrogates(std::wstring{L'a', high}), "a\xED\xA0\xBD");
    // Where it is already valid, the same bytes as ToUtf8.
    EXPECT_EQ(ToUtf8KeepingSurrogates(L"\u00e9\u20ac"), ToUtf8(L"\u00e9\u20ac"));
}

TEST(FromUtf8, DecodesEachLengthOfSequence) {
    EXPECT_EQ(FromUtf8(""), L"");
    EXPECT_EQ(FromUtf8("Abc1"), L"Abc1");
    EXPECT_EQ(FromUtf8("\xC3\xA9\xE2\x82\xAC"), L"\u00e9\u20ac");
    std::wstring grin = sizeof(wchar_t) == 2 ? std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}
                                             : std::wstring(1, static_cast<wchar_t>(0x1F600));
    EXPECT_EQ(FromUtf8("\xF0\x9F\x98\x80"), grin);
}

TEST(FromUtf8, ReplacesEachByteThatStartsNoWellFormedSequence) {
    const std::wstring bad(1, static_cast<wchar_t>(0xFFFD));
    EXPECT_EQ(FromUtf8("a\xFF" "b"), L"a" + bad + L"b");
    EXPECT_EQ(FromUtf8("\xC3"), bad);                         // cut short at the end
    EXPECT_EQ(FromUtf8("\xC3(x"), bad + L"(x");               // a continuation byte missing
    EXPECT_EQ(FromUtf8("\xC0\xAF"), bad + bad);               // overlong "/"
    EXPECT_EQ(FromUtf8("\xE0\x80\xAF"), bad + bad + bad);     // overlong, three bytes
    EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), bad + bad + bad + bad);  // beyond U+10FFFF
    EXPECT_EQ(FromUtf8("\x80"), bad);
}

}  // namespace
}  // namespace hb
