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
    // Only the spaces are trimmed, never other blanks.
    EXPECT_EQ(VersionFromTocText(L"## Version:\t1.2\t\r\n"), L"\t1.2\t");
}

TEST(ServerVersionText, TrimsSpacesThenRemovesEveryCrLfPair) {
    EXPECT_EQ(ServerVersionFromText(L"1.2\r\n"), L"1.2");
    EXPECT_EQ(ServerVersionFromText(L"  1.2  "), L"1.2");
    EXPECT_EQ(ServerVersionFromText(L"1.\r\n2\r\n"), L"1.2");
    // The spaces go first, so a space before the final CR LF survives.
    EXPECT_EQ(ServerVersionFromText(L"1.2 \r\n"), L"1.2 ");
    EXPECT_EQ(ServerVersionFromText(L" 1.2\r\n "), L"1.2");
    // One pass: the pair in the middle goes, the CR and LF around it stay.
    EXPECT_EQ(ServerVersionFromText(L"1.2\r\r\n\n"), L"1.2\r\n");
}

TEST(ServerVersionText, LoneLineFeedsAndCarriageReturnsStay) {
    EXPECT_EQ(ServerVersionFromText(L"1.2\n"), L"1.2\n");
    EXPECT_NE(ServerVersionFromText(L"1.2\n"), L"1.2");
    EXPECT_EQ(ServerVersionFromText(L"1.2\r"), L"1.2\r");
}

TEST(ServerVersionText, NothingButBlanksIsTheEmptyVersion) {
    EXPECT_EQ(ServerVersionFromText(L""), L"");
    EXPECT_EQ(ServerVersionFromText(L"   "), L"");
    EXPECT_EQ(ServerVersionFromText(L"\r\n"), L"");
    // Removing the pairs after trimming can uncover a space; the updater
    // treats such a blank version as none.
    EXPECT_EQ(ServerVersionFromText(L" \r\n \r\n"), L" ");
}

TEST(ServerVersionText, ComparisonWithTheInstalledVersionIsExactText) {
    EXPECT_NE(ServerVersionFromText(L"1.2a\r\n"), *VersionFromTocText(L"## Version: 1.2A\r\n"));
    EXPECT_EQ(ServerVersionFromText(L"1.2a\r\n"), *VersionFromTocText(L"## Version: 1.2a\r\n"));
    EXPECT_NE(ServerVersionFromText(L"1.2 \r\n"), *VersionFromTocText(L"## Version: 1.2 \r\n"));
}

TEST(TrimSpaces, RemovesOnlySpacesAtBothEnds) {
    EXPECT_EQ(TrimSpaces(L"  a b  "), L"a b");
    EXPECT_EQ(TrimSpaces(L"    "), L"");
    EXPECT_EQ(TrimSpaces(L"\ta\t"), L"\ta\t");
}

}  // namespace
}  // namespace hb
