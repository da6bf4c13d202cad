// The two version texts the updater compares: the installed one from the
// table-of-contents file and the published one from the update server.

#include <gtest/gtest.h>

#include "updater/VersionText.h"

namespace hb {
namespace {

TEST(TocVersionLine, TakesTheRestOfTheFirstLineContainingVersionTrimmed) {
    EXPECT_EQ(VersionFromTocText(L"## Interface: 11200\r\n## Version: 1.2\r\n## Title: Hoardbook\r\n"), L"1.2");
    EXPECT_EQ(VersionFromTocText(L"Version:1.2"), L"1.2");
    // Line feeds alone: the version still ends with its line, so an add-on
    // published with LF line ends is not fetched again at every check.
    EXPECT_EQ(VersionFromTocText(L"## Interface: 11200\n## Version: 1.2\n## Title: Hoardbook\n"), L"1.2");
    EXPECT_EQ(VersionFromTocText(L"## Version:   1.2   \r\n"), L"1.2");
    // Only the first matching line counts, even inside a longer word.
    EXPECT_EQ(VersionFromTocText(L"## XVersion: 0.9\r\n## Version: 1.2\r\n"), L"0.9");
    // Only the first "Version:" of the line is the marker.
    EXPECT_EQ(VersionFromTocText(L"## Version: 1.2 Version: 3"), L"1.2 Version: 3");
}

TEST(TocVersionLine, LineEndingRightAfterTheMarkerGivesTheEmptyVersion) {
    EXPECT_EQ(VersionFromTocText(L"## Version:\r\n## Title: x\r\n"), std::wstring());
    EXPECT_EQ(VersionFromTocText(L"## Version:   "), std::wstring());
}

TEST(TocVersionLine, MarkerIsCaseSensitiveAndMayBeMissing) {
    EXPECT_EQ(VersionFromTocText(L"## version: 1.2\r\n"), std::nullopt);
    EXPECT_EQ(VersionFromTocText(L"## VERSION: 1.2\r\n"), std::nullopt);
    EXPECT_EQ(VersionFromTocText(L"## Title: Hoardbook\r\nHoardbook.lua\r\n"), std::nullopt);
    EXPECT_EQ(VersionFromTocText(L""), std::nullopt);
}

TEST(TocVersionLine, LinesEndAtCrLfOrALoneCrAndTheVersionAtALoneLf) {
    EXPECT_EQ(VersionFromTocText(L"## Title: x\r## Version: 1.2\r## Notes: y"), L"1.2");
    EXPECT_EQ(VersionFromTocText(L"## Version: 1.2\n## Title: x"), L"1.2");
    // The line is still found by CR: "Version:" after a lone LF belongs to the first line.
    EXPECT_EQ(VersionFromTocText(L"## Title: x\n## Version: 1.2\r\n"), L"1.2");
    // White space of any kind around the version is not part of it.
    EXPECT_EQ(VersionFromTocText(L"## Version:\t1.2\t\r\n"), L"1.2");
    EXPECT_EQ(VersionFromTocText(L"## Version: 1.2 \f\v\n"), L"1.2");
    EXPECT_EQ(VersionFromTocText(L"## Version: 1 .2\r\n"), L"1 .2");
}

TEST(ServerVersionText, SurroundingWhiteSpaceOfAnyKindIsNotPartOfTheVersion) {
    // What editors write after the text: a line feed (most of them), CR LF,
    // a blank before it, tabs.
    for (const wchar_t* published : {L"2.1", L"2.1\n", L"2.1\r\n", L"2.1\r", L"2.1 \r\n", L" 2.1\n ", L"\t2.1\t\n",
                                     L"2.1\n\n\n", L"\r\n2.1\r\n\r\n", L"\xFEFF" L"2.1\r\n", L"2.1\xA0\n"}) {
        EXPECT_EQ(ServerVersionFromText(published), L"2.1") << testing::PrintToString(std::wstring(published));
    }
}

TEST(ServerVersionText, CrLfPairsInsideAreRemovedOtherCharactersKept) {
    EXPECT_EQ(ServerVersionFromText(L"1.\r\n2\r\n"), L"1.2");
    EXPECT_EQ(ServerVersionFromText(L"1.2\r\r\n\n"), L"1.2");
    EXPECT_EQ(ServerVersionFromText(L" \r\n 1.2 \r\n "), L"1.2");
    EXPECT_EQ(ServerVersionFromText(L"1.2 beta"), L"1.2 beta");
    // A lone line feed inside is left for the plausibility check to refuse.
    EXPECT_EQ(ServerVersionFromText(L"1.2\nbeta"), L"1.2\nbeta");
}

TEST(ServerVersionText, NothingButWhiteSpaceIsTheEmptyVersion) {
    for (const wchar_t* published : {L"", L"   ", L"\r\n", L" \r\n \r\n", L"\t\n\v\f\r"}) {
        EXPECT_EQ(ServerVersionFromText(published), L"");
        EXPECT_EQ(WhyNotAVersion(ServerVersionFromText(published)), L"is empty");
    }
}

TEST(ServerVersionText, ComparisonWithTheInstalledVersionIsExactTextInside) {
    EXPECT_NE(ServerVersionFromText(L"1.2a\r\n"), *VersionFromTocText(L"## Version: 1.2A\r\n"));
    EXPECT_EQ(ServerVersionFromText(L"1.2a\r\n"), *VersionFromTocText(L"## Version: 1.2a\r\n"));
    EXPECT_EQ(ServerVersionFromText(L"2.1\n"), *VersionFromTocText(L"## Version: 2.1 \r\n"));
    EXPECT_EQ(ServerVersionFromText(L"2.1 \r\n"), *VersionFromTocText(L"## Version:\t2.1\n"));
    EXPECT_NE(ServerVersionFromText(L"2.1\n"), *VersionFromTocText(L"## Version: 2.10\r\n"));
}

TEST(PublishedVersion, ShortPrintableTextsAreVersions) {
    for (const wchar_t* version : {L"2.1", L"1.12.0-beta3", L"0", L"v2 (Classic)", L"\u00e9t\u00e9 2", L"\u516c\u4f1a 1"}) {
        EXPECT_EQ(WhyNotAVersion(version), std::nullopt) << testing::PrintToString(std::wstring(version));
    }
    EXPECT_EQ(WhyNotAVersion(std::wstring(kMaxVersionLength, L'9')), std::nullopt);
}

TEST(PublishedVersion, LongTextsControlCharactersAndUndecodableBytesAreNot) {
    const std::wstring tooLong(kMaxVersionLength + 1, L'9');
    EXPECT_EQ(WhyNotAVersion(tooLong),
              L"is " + std::to_wstring(kMaxVersionLength + 1) + L" characters long, too long for a version");
    EXPECT_EQ(WhyNotAVersion(std::wstring(5 * 1024 * 1024, L'x')),
              L"is 5242880 characters long, too long for a version");
    using namespace std::string_literals;
    for (const std::wstring& garbage : {L"1.2\nbeta"s, L"1\x01"s, L"\x7F"s, L"2.1\x85"s, L"\xFFFD\xFFFD"s, L"a\0b"s}) {
        EXPECT_EQ(WhyNotAVersion(garbage), L"holds control characters or undecodable bytes, so it is not a version")
            << testing::PrintToString(garbage);
    }
}

TEST(TrimSpaces, RemovesOnlySpacesAtBothEnds) {
    EXPECT_EQ(TrimSpaces(L"  a b  "), L"a b");
    EXPECT_EQ(TrimSpaces(L"    "), L"");
    EXPECT_EQ(TrimSpaces(L"\ta\t"), L"\ta\t");
}

TEST(TrimWhiteSpace, RemovesEveryKindOfWhiteSpaceAtBothEndsOnly) {
    EXPECT_EQ(TrimWhiteSpace(L" \t\r\n\v\f\xA0\xFEFF" L"a \t\nb\r\n\t "), L"a \t\nb");
    EXPECT_EQ(TrimWhiteSpace(L"\r\n\t "), L"");
    EXPECT_EQ(TrimWhiteSpace(L"ab"), L"ab");
}

}  // namespace
}  // namespace hb
