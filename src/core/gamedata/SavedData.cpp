// Saved data: the exclusion list's check marks, the round-robin cursor and
// the reading of a saved-data file.

#include "gamedata/EntryText.h"
#include "gamedata/FileReadError.h"
#include "gamedata/LineEnds.h"
#include "settings/ExclusionList.h"
#include "settings/TextFileFormat.h"
#include "gamedata/RoundRobin.h"
#include "shell/Form1.h"

namespace hb {

void Form1::CompareToHardDrive() {
    MainWindow& window = ports_.window;
    int count = window.itemCount();
    for (int i = 0; i < count; ++i) window.setItemChecked(i, true);

    // Any failure on the way ends this quietly: the file is optional.
    try {
        std::wstring error;
        auto bytes = ports_.files.readAll(ExclusionFilePath(), error);
        if (!bytes) return;
        std::vector<std::wstring> entries;
        entries.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) entries.push_back(window.itemText(i));
        const std::vector<bool> excluded = ExcludedEntries(DecodeTextFile(*bytes, ports_.codepage), entries);
        for (int i = 0; i < count; ++i) {
            if (excluded[static_cast<std::size_t>(i)]) window.setItemChecked(i, false);
        }
    } catch (const std::exception&) {
    }
}

void Form1::GetNextListIndexnoupload() {
    const MainWindow& window = ports_.window;
    // The scan keeps the list within the range of CurrentIndex.
    int next = NextCheckedIndex(CurrentIndex, window.itemCount(), [&](int i) { return window.itemChecked(i); });
    CurrentIndex = static_cast<std::int16_t>(next);
}

std::string Form1::LoadDataFromHardDrive(std::int16_t index) {
    // The account folder is looked up first, whatever the index: a game that
    // has gone away ends the program here as everywhere else.
    std::wstring accountFolder = GetAccountDir();
    const MainWindow& window = ports_.window;
    if (index < 0 || index >= window.itemCount() || !window.itemChecked(index)) return {};
    return GetFile(SavedDataFileFor(accountFolder, window.itemText(index)));
}

std::string Form1::GetFile(const std::wstring& path) {
    std::wstring error;
    auto bytes = ports_.files.readAll(path, error);
    if (!bytes) throw FileReadError(L"Could not read " + path + L": " + error);
    return WithCrLfLineEnds(std::move(*bytes));
}

std::wstring Form1::SavedDataFileOf(int index) {
    std::wstring accountFolder = GetAccountDir();
    const MainWindow& window = ports_.window;
    if (index < 0 || index >= window.itemCount()) return {};
    return SavedDataFileFor(accountFolder, window.itemText(index));
}

}  // namespace hb
