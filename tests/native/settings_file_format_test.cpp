// The program's own text files: their two encodings (code page as before,
// UTF-8 after a mark where a name needs it) and how exclusion lines name
// entries.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeProcess.h"
#include "settings/ExclusionList.h"
#include "settings/TextFileFormat.h"

namespace hb::test {
namespace {

using Texts = std::vector<std::wstring>;
const std::string kMark = "\xEF\xBB\xBF";

TEST(TextFileFormat, TextTheCodePageHoldsIsWrittenAsEarlierVersionsWroteIt) {
    Latin1Codepage codepage;
    EXPECT_EQ(EncodeTextFile({}, codepage), "");
    EXPECT_EQ(EncodeTextFile({L"b\u00e9b", L"guild.example", L""}, codepage), "b\xe9" "b\r\nguild.example\r\n\r\n");
    EXPECT_EQ(DecodeTextFile("b\xe9" "b\r\nguild.example\rp\xe4ss", codepage),
              (Texts{L"b\u00e9b", L"guild.example", L"p\u00e4ss"}));
    // What a lossy earlier version made of a name is read as it stands: "?" is no wildcard.
    EXPECT_EQ(DecodeTextFile("ACC\\Realm\\??\r\n", codepage), Texts{L"ACC\\Realm\\??"});
}

TEST(TextFileFormat, ALineOutsideTheCodePageMakesTheWholeFileUtf8AfterAMark) {
    Latin1Codepage codepage;
    const Texts lines{L"Ren\u00e9", L"\u0141ukasz", L"\u5C0F\u660E"};
    const std::string bytes = EncodeTextFile(lines, codepage);
    EXPECT_EQ(bytes, kMark + "Ren\xC3\xA9\r\n\xC5\x81ukasz\r\n\xE5\xB0\x8F\xE6\x98\x8E\r\n");
    EXPECT_EQ(DecodeTextFile(bytes, codepage), lines);
    // An ANSI file that would begin with the mark's bytes ("ï»¿" here) cannot be told apart, so it is UTF-8.
    const Texts lookalike{L"\u00EF\u00BB\u00BFx"};
    EXPECT_TRUE(EncodeTextFile(lookalike, codepage).starts_with(kMark + "\xC3\xAF"));
    EXPECT_EQ(DecodeTextFile(EncodeTextFile(lookalike, codepage), codepage), lookalike);
}

TEST(TextFileFormat, EveryLineComesBackAsItWasWritten) {
    Latin1Codepage codepage;
    const wchar_t lone = static_cast<wchar_t>(0xD800);
    const std::vector<Texts> files{
        {L""},
        {L"", L""},
        {L" x", L"x ", L"  "},
        {L"????", L"\u041B\u0435\u043D\u0430", L"\u0412\u0435\u0440\u0430"},  // one "????" in the code page
        {L"\uFEFFfirst", L"second"},
        {std::wstring{L'a', lone}, L"\u00e9"},
        {L"\t\u00a0\u00ff"},
    };
    for (const auto& lines : files) EXPECT_EQ(DecodeTextFile(EncodeTextFile(lines, codepage), codepage), lines);
}

TEST(ExclusionList, ALineNamesTheEntryItEqualsSoSpacedNamesKeepTheirOwnMarks) {
    const Texts entries{L" x", L"x", L"y ", L"y"};
    using Marks = std::vector<bool>;
    EXPECT_EQ(ExcludedEntries({L" x"}, entries), (Marks{true, false, false, false}));
    EXPECT_EQ(ExcludedEntries({L"x"}, entries), (Marks{false, true, false, false}));
    EXPECT_EQ(ExcludedEntries({L"y "}, entries), (Marks{false, false, true, false}));
    EXPECT_EQ(ExcludedEntries({L" x", L"y"}, entries), (Marks{true, false, false, true}));
    EXPECT_EQ(ExcludedEntries({}, entries), Marks(4, false));
}

TEST(ExclusionList, ALineNamingNoEntryMatchesWithoutItsSurroundingSpaces) {
    using Marks = std::vector<bool>;
    // Spaces added by hand, or a spaced entry that has gone: the trimmed line still counts.
    EXPECT_EQ(ExcludedEntries({L"  ALPHA  "}, {L"ALPHA", L"BRAVO"}), (Marks{true, false}));
    EXPECT_EQ(ExcludedEntries({L" BRAVO"}, {L"ALPHA", L"BRAVO"}), (Marks{false, true}));
    // Only spaces are trimmed, letter case counts, and an empty line names nothing.
    EXPECT_EQ(ExcludedEntries({L"\tALPHA", L"alpha", L"", L"   "}, {L"ALPHA", L"BRAVO"}), (Marks{false, false}));
    EXPECT_EQ(ExcludedEntries({L"ALPHA"}, {}), Marks{});
}

}  // namespace
}  // namespace hb::test
