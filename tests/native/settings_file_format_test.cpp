// The program's own text files: their two encodings (code page as before,
// UTF-8 after a mark where a name needs it, UTF-8 without a mark as editors
// save it) and how exclusion lines name entries and are kept.

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

TEST(TextFileFormat, Utf8WithoutAMarkIsReadAsUtf8AndAnythingElseAsTheCodePage) {
    Latin1Codepage codepage;
    // Notepad's default today, with LF line ends from an editor under Wine.
    EXPECT_EQ(DecodeTextFile("\xC5\x81ukasz\nguild.example\n\xD0\x9B\xD0\xB5\xD0\xBD\xD0\xB0 \xE5\xB0\x8F\xF0\x9F\x90\x89\n", codepage),
              (Texts{L"\u0141ukasz", L"guild.example", L"\u041B\u0435\u043D\u0430 \u5C0F\U0001F409"}));
    // Plain ASCII is the same either way; code-page bytes are no UTF-8.
    EXPECT_EQ(DecodeTextFile("bob\n", codepage), Texts{L"bob"});
    EXPECT_EQ(DecodeTextFile("Ren\xE9\r\n", codepage), Texts{L"Ren\u00E9"});
    // Ill-formed UTF-8 anywhere makes the whole file the code page's: an
    // overlong "/", a surrogate, a code point beyond U+10FFFF, a cut sequence.
    for (const std::string bad : {"\xC3\xA9 \xC0\xAF", "\xC3\xA9 \xED\xA0\x80", "\xC3\xA9 \xF4\x90\x80\x80",
                                  "\xC3\xA9 \xE5\xB0", "\xC3\xA9 \xE0\x80\xAF"}) {
        EXPECT_EQ(DecodeTextFile(bad, codepage), Texts{codepage.fromAnsi(bad)}) << bad;
    }
}

TEST(TextFileFormat, CodePageTextThatWouldReadAsUtf8IsWrittenAsUtf8AfterAMark) {
    Latin1Codepage codepage;
    // "Ã©" in the code page has the bytes of "é" in UTF-8.
    const Texts lines{L"\u00C3\u00A9"};
    EXPECT_EQ(EncodeTextFile(lines, codepage), kMark + "\xC3\x83\xC2\xA9\r\n");
    EXPECT_EQ(DecodeTextFile(EncodeTextFile(lines, codepage), codepage), lines);
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
        {L"\u00C3\u00A9", L"\u00E9"},
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

TEST(ExclusionList, ASaveKeepsEveryLineNamingNoEntryInItsPlace) {
    using Marks = std::vector<bool>;  // checked
    const Texts lines{L"GONE", L"B", L"", L"  ", L" C ", L"ALSO GONE", L"B"};
    const Texts entries{L"A", L"B", L"C", L"D"};
    // B and C stay unchecked, D is newly unchecked, A checked.
    EXPECT_EQ(UpdatedExclusionLines(lines, entries, Marks{true, false, false, false}),
              (Texts{L"GONE", L"B", L"  ", L"C", L"ALSO GONE", L"D"}));
    // Checking B and C again takes their lines out; the others stay.
    EXPECT_EQ(UpdatedExclusionLines(lines, entries, Marks{true, true, true, true}),
              (Texts{L"GONE", L"  ", L"ALSO GONE"}));
    // No entry listed at all (the account tree is missing): nothing is lost
    // but an empty line, which names nothing ever.
    EXPECT_EQ(UpdatedExclusionLines(lines, {}, {}), (Texts{L"GONE", L"B", L"  ", L" C ", L"ALSO GONE", L"B"}));
    // Blanks alone are a name where the file system allows it.
    EXPECT_EQ(UpdatedExclusionLines({L" "}, {}, {}), Texts{L" "});
    EXPECT_EQ(UpdatedExclusionLines({L" "}, {L" "}, Marks{false}), Texts{L" "});
    // The file of an earlier version (the unchecked entries in list order) stays as it was.
    EXPECT_EQ(UpdatedExclusionLines({L"A", L"C"}, entries, Marks{false, true, false, true}), (Texts{L"A", L"C"}));
    EXPECT_EQ(UpdatedExclusionLines({}, entries, Marks{false, true, false, true}), (Texts{L"A", L"C"}));
}

TEST(ExclusionList, WhatASaveWritesMarksTheSameEntriesWhenReadAgain) {
    using Marks = std::vector<bool>;
    const Texts entries{L" x", L"x", L"y", L"z"};
    const Texts lines{L"x ", L"kept", L" x"};
    const Marks checked{false, true, false, true};
    const Texts written = UpdatedExclusionLines(lines, entries, checked);
    const Marks excluded = ExcludedEntries(written, entries);
    for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(excluded[i], !checked[i]) << i;
    EXPECT_EQ(written, (Texts{L"kept", L" x", L"y"}));
}

}  // namespace
}  // namespace hb::test
