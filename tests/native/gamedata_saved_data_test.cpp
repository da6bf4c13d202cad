// Saved data: the round-robin cursor, reading a file's text with its line
// ends, the exclusion file's check marks, and loading an entry's data.

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/FakeWindow.h"
#include "gamedata/EntryList.h"
#include "gamedata/LineEnds.h"
#include "gamedata/ListCursor.h"
#include "gamedata/RoundRobin.h"
#include "ports/Failure.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

class SavedData : public FormFixture {
protected:
    void setEntries(std::initializer_list<std::pair<const wchar_t*, bool>> entries) {
        window.items.clear();
        for (const auto& [text, checked] : entries) window.items.push_back({text, checked});
    }
    std::vector<bool> marks() const {
        std::vector<bool> checked;
        for (const auto& item : window.items) checked.push_back(item.checked);
        return checked;
    }
    void writeExclusions(const std::string& bytes) { temp.write(std::filesystem::path("Program") / "noupload.txt", bytes); }
    std::string fileText(const std::string& bytes) {
        temp.write("file.lua", bytes);
        return form->savedData().GetFile(temp.corePath("file.lua"));
    }
};

// ---- the round-robin cursor ----

class Cursor : public ::testing::Test {
protected:
    void list(std::initializer_list<std::pair<const wchar_t*, bool>> listed) {
        for (const auto& [text, checked] : listed) window.setItemChecked(entries.add(text).place(), checked);
    }
    // The places GetNextListIndexnoupload moves to; -1 for none.
    std::vector<int> visits(int count) {
        std::vector<int> seen;
        for (int i = 0; i < count; ++i) {
            const std::optional<Entry> entry = cursor.next();
            seen.push_back(entry ? entry->place() : -1);
        }
        return seen;
    }
    std::vector<int> places(const std::vector<Entry>& order) const {
        std::vector<int> seen;
        for (const Entry entry : order) seen.push_back(entry.place());
        return seen;
    }

    FakeWindow window;
    EntryList entries{window};
    ListCursor cursor{entries};
};

TEST_F(Cursor, VisitsTheCheckedEntriesInTurn) {
    list({{L"A", false}, {L"B", true}, {L"C", false}, {L"D", true}});
    cursor.restart();
    EXPECT_EQ(visits(5), (std::vector<int>{1, 3, 1, 3, 1}));
}

TEST_F(Cursor, BeforeStartUpReadiesTheWatcherItStartsAfterTheFirstEntry) {
    list({{L"A", true}, {L"B", true}});
    EXPECT_EQ(visits(2), (std::vector<int>{1, 0}));
}

TEST_F(Cursor, TheOnlyCheckedEntryIsPickedAgain) {
    list({{L"A", false}, {L"B", false}, {L"C", true}});
    cursor.handled(Entry(2));
    EXPECT_EQ(visits(2), (std::vector<int>{2, 2}));

    window.setItemChecked(0, true);
    cursor.handled(Entry(0));
    EXPECT_EQ(visits(1), std::vector<int>{2});
}

TEST_F(Cursor, WithNothingToVisitItStays) {
    EXPECT_EQ(visits(1), std::vector<int>{-1}) << "no entry at all";

    list({{L"A", false}, {L"B", false}});
    cursor.restart();
    EXPECT_EQ(visits(1), std::vector<int>{-1});
    cursor.handled(Entry(1));
    EXPECT_EQ(visits(1), std::vector<int>{1}) << "the unchecked entry it is at";
}

TEST_F(Cursor, TheWatchersLookStartsAfterTheEntryHandledLastAndWrapsRound) {
    list({{L"A", true}, {L"B", false}, {L"C", true}});
    cursor.restart();
    EXPECT_EQ(places(cursor.fromNext()), (std::vector<int>{0, 1, 2}));
    cursor.handled(Entry(1));
    EXPECT_EQ(places(cursor.fromNext()), (std::vector<int>{2, 0, 1}));
    cursor.handled(Entry(2));
    EXPECT_EQ(places(cursor.fromNext()), (std::vector<int>{0, 1, 2}));
}

TEST(RoundRobin, OnlyExistingIndicesAreExamined) {
    std::vector<int> asked;
    auto record = [&](int i) {
        asked.push_back(i);
        return false;
    };
    // A cursor left beyond the end of a list examines each entry once.
    EXPECT_EQ(NextCheckedIndex(7, 3, record), 7);
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 2}));
    asked.clear();
    EXPECT_EQ(NextCheckedIndex(-1, 0, record), -1);
    EXPECT_TRUE(asked.empty());
}

// ---- reading a file's text ----

TEST_F(SavedData, EveryLineOfTheTextEndsWithCrLf) {
    EXPECT_EQ(fileText("a\r\nb\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(fileText("a\r\nb"), "a\r\nb\r\n");
    EXPECT_EQ(fileText("a\rb\r"), "a\r\nb\r\n");
    EXPECT_EQ(fileText(""), "");
}

TEST_F(SavedData, ALoneLfDoesNotEndALine) {
    EXPECT_EQ(fileText("a\nb\n"), "a\nb\n\r\n");
    EXPECT_EQ(fileText("a\n\r\nb"), "a\n\r\nb\r\n");
}

TEST_F(SavedData, EmptyLinesAndOtherBytesAreKept) {
    EXPECT_EQ(fileText("\r\n\r\n"), "\r\n\r\n");
    EXPECT_EQ(fileText("\r\r\n\r"), "\r\n\r\n\r\n");
    // A UTF-8 character name and a zero byte travel unchanged.
    std::string name("Zo\xC3\xAB\0x", 6);
    EXPECT_EQ(fileText(name + "\r\n"), name + "\r\n");
}

TEST_F(SavedData, AFileThatCannotBeReadIsAnErrorNamingIt) {
    try {
        form->savedData().GetFile(temp.corePath("missing.lua"));
        FAIL() << "no error";
    } catch (const Failure& error) {
        EXPECT_NE(error.description().find(L"missing.lua"), std::wstring::npos);
        EXPECT_NE(std::string(error.what()), "");
    }
}

TEST(LineEnds, LongTextsAreNormalisedThroughout) {
    std::string input;
    std::string expected;
    for (int i = 0; i < 10000; ++i) {
        input += "line" + std::to_string(i) + (i % 3 == 0 ? "\r" : i % 3 == 1 ? "\r\n" : "\n");
        expected += "line" + std::to_string(i) + (i % 3 == 2 ? "\n" : "\r\n");
    }
    input += "tail\n";
    expected += "tail\n\r\n";  // a lone LF at the end is no line end
    std::string actual = WithCrLfLineEnds(input);
    auto differ = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(differ.first == actual.end()) << "first difference at byte " << (differ.first - actual.begin());
}

// ---- the exclusion file ----

TEST_F(SavedData, ExclusionLinesAreTrimmedOfSpacesOnlyAndCompareWithCase) {
    setEntries({{L"MYACCOUNT", false}, {L"OTHER", false}, {L"TABBED", false}, {L"CASE", false}});
    writeExclusions("  MYACCOUNT  \r\n\tTABBED\r\ncase\r\nNOSUCHENTRY\r\n");
    form->settings().CompareToHardDrive();
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, true, true}));
}

TEST_F(SavedData, EveryMatchingEntryIsUnchecked) {
    // Entries differing only in case can exist when added by hand.
    setEntries({{L"A", true}, {L"B", true}, {L"A", true}});
    writeExclusions("A");
    form->settings().CompareToHardDrive();
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false}));
}

TEST_F(SavedData, LinesEndAtCrOrCrLfAndNamesAreAnsiText) {
    setEntries({{L"ONE", true}, {L"TWO", true}, {L"THREE", true}, {L"R\u00E9alm", true}});
    writeExclusions("ONE\rTWO\r\nR\xE9" "alm");
    form->settings().CompareToHardDrive();
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, true, false}));
}

TEST_F(SavedData, AMissingOrEmptyExclusionFileLeavesEveryEntryChecked) {
    setEntries({{L"A", false}, {L"B", false}});
    form->settings().CompareToHardDrive();
    EXPECT_EQ(marks(), (std::vector<bool>{true, true}));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(window.text(Control::Data).empty());

    setEntries({{L"A", false}, {L"B", false}});
    writeExclusions("");
    form->settings().CompareToHardDrive();
    EXPECT_EQ(marks(), (std::vector<bool>{true, true}));
}

// ---- loading an entry's data ----

TEST_F(SavedData, LoadingGivesTheCheckedEntrysFileText) {
    installGame();
    addSavedData("ACCT", "data\n");
    form->scan().LoadfilesFromHardDrive();
    ASSERT_EQ(window.items.size(), 1u);
    EXPECT_EQ(form->savedData().LoadDataFromHardDrive(form->entries().at(0)), "data\n\r\n");
}

TEST_F(SavedData, LoadingAnUncheckedOrUnknownEntryGivesNothingAndReadsNothing) {
    installGame();
    addSavedData("ACCT", "data");
    form->scan().LoadfilesFromHardDrive();
    window.items[0].checked = false;
    EXPECT_EQ(form->savedData().LoadDataFromHardDrive(form->entries().at(0)), "");
    EXPECT_EQ(form->savedData().LoadDataFromHardDrive(form->entries().at(-1)), "");
    EXPECT_EQ(form->savedData().LoadDataFromHardDrive(form->entries().at(1)), "");
}

TEST_F(SavedData, LoadingAnEntryWhoseFileIsGoneIsAnError) {
    installGame();
    addSavedData("ACCT", "data");
    form->scan().LoadfilesFromHardDrive();
    std::filesystem::remove(temp.path() / "Game" / "WTF" / "Account" / "ACCT" / "SavedVariables" / "Hoardbook.lua");
    EXPECT_THROW(form->savedData().LoadDataFromHardDrive(form->entries().at(0)), Failure);
}

}  // namespace
}  // namespace hb::test
