#include "gamedata/SavedDataFiles.h"

#include "gamedata/EntryText.h"
#include "gamedata/LineEnds.h"
#include "gamedata/ScanRoots.h"
#include "ports/Failure.h"

namespace hb {

SavedDataFiles::SavedDataFiles(const EntryList& entries, FileSystem& files, GameFolders& folders)
    : entries_(entries), files_(files), folders_(folders) {}

std::string SavedDataFiles::LoadDataFromHardDrive(std::optional<Entry> entry) {
    // The account folder is looked up first, whatever the entry: a game that
    // has gone away ends the program here as everywhere else.
    folders_.GetAccountDir();
    if (!entry || !entries_.checked(*entry)) return {};
    return GetFile(folders_.SavedDataFileOf(entries_.text(*entry)));
}

std::string SavedDataFiles::GetFile(const std::wstring& path) {
    std::wstring error;
    auto bytes = files_.readAll(path, error);
    if (!bytes) throw Failure(L"Could not read " + path + L": " + error);
    return WithCrLfLineEnds(std::move(*bytes));
}

std::wstring SavedDataFiles::SavedDataFileOf(std::optional<Entry> entry) {
    folders_.GetAccountDir();
    if (!entry) return {};
    return folders_.SavedDataFileOf(entries_.text(*entry));
}

std::wstring SavedDataFiles::SavedDataFileIn(const std::wstring& installFolder, const std::wstring& entryText) {
    return SavedDataFileOfEntry(&files_, installFolder, entryText);
}

std::optional<std::string> SavedDataFiles::tryLoad(std::optional<Entry> entry, std::wstring& error) {
    try {
        return LoadDataFromHardDrive(entry);
    } catch (const Failure& failure) {
        error = failure.description();
        return std::nullopt;
    }
}

}  // namespace hb
