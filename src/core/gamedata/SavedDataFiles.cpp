#include "gamedata/SavedDataFiles.h"

#include "gamedata/EntryText.h"
#include "gamedata/LineEnds.h"
#include "gamedata/ScanRoots.h"
#include "ports/Failure.h"

namespace hb {

SavedDataFiles::SavedDataFiles(const MainWindow& list, FileSystem& files, GameFolders& folders)
    : list_(list), files_(files), folders_(folders) {}

std::string SavedDataFiles::LoadDataFromHardDrive(std::int16_t index) {
    // The account folder is looked up first, whatever the index: a game that
    // has gone away ends the program here as everywhere else.
    folders_.GetAccountDir();
    if (index < 0 || index >= list_.itemCount() || !list_.itemChecked(index)) return {};
    return GetFile(folders_.SavedDataFileOf(list_.itemText(index)));
}

std::string SavedDataFiles::GetFile(const std::wstring& path) {
    std::wstring error;
    auto bytes = files_.readAll(path, error);
    if (!bytes) throw Failure(L"Could not read " + path + L": " + error);
    return WithCrLfLineEnds(std::move(*bytes));
}

std::wstring SavedDataFiles::SavedDataFileOf(int index) {
    folders_.GetAccountDir();
    if (index < 0 || index >= list_.itemCount()) return {};
    return folders_.SavedDataFileOf(list_.itemText(index));
}

std::wstring SavedDataFiles::SavedDataFileIn(const std::wstring& installFolder, const std::wstring& entryText) {
    return SavedDataFileOfEntry(&files_, installFolder, entryText);
}

std::optional<std::string> SavedDataFiles::tryLoad(std::int16_t index, std::wstring& error) {
    try {
        return LoadDataFromHardDrive(index);
    } catch (const Failure& failure) {
        error = failure.description();
        return std::nullopt;
    }
}

}  // namespace hb
