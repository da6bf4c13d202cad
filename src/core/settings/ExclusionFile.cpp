#include "settings/ExclusionFile.h"

#include <exception>
#include <optional>
#include <vector>

#include "settings/ExclusionList.h"
#include "settings/TextFileFormat.h"

namespace hb {

namespace {

std::vector<std::wstring> EntriesOf(const MainWindow& list) {
    std::vector<std::wstring> entries;
    entries.reserve(static_cast<std::size_t>(list.itemCount()));
    for (int i = 0; i < list.itemCount(); ++i) entries.push_back(list.itemText(i));
    return entries;
}

// The file's lines; none when there is no file; nothing when it is there
// but cannot be read (error says why).
std::optional<std::vector<std::wstring>> ReadLines(FileSystem& files, const Codepage& codepage,
                                                   const std::wstring& path, std::wstring& error) {
    if (std::optional<std::string> bytes = files.readAll(path, error)) return DecodeTextFile(*bytes, codepage);
    if (files.pathExists(path)) return std::nullopt;
    return std::vector<std::wstring>();
}

}  // namespace

ExclusionFile::ExclusionFile(FileSystem& files, const Codepage& codepage, MessageLog& log,
                             SettingsLocation& location)
    : files_(files), codepage_(codepage), log_(log), location_(location) {}

std::wstring ExclusionFile::path() { return location_.folder() + L"\\" + kExclusionFileName; }

std::optional<std::vector<std::wstring>> ExclusionFile::readLines(std::wstring& error) {
    const std::wstring file = path();
    auto lines = ReadLines(files_, codepage_, file, error);
    if (lines) {
        if (readFailureTold_) log_.add(file + L" can be read again; the check marks follow it again.");
        readFailureTold_ = false;
    } else if (!readFailureTold_) {
        readFailureTold_ = true;
        log_.add(L"Could not read " + file + L": " + error +
                 L". Until it can be read, the characters it might name are left unchecked and not uploaded, and "
                 L"the file is not changed.");
    }
    return lines;
}

void ExclusionFile::CompareToHardDrive(MainWindow& list) {
    const int count = list.itemCount();
    for (int i = 0; i < count; ++i) list.setItemChecked(i, true);
    marksWithoutFile_ = false;
    UncheckNamed(list, 0);
}

void ExclusionFile::UncheckNamed(MainWindow& list, int first) {
    // Any other failure on the way ends this quietly: the file is optional.
    try {
        std::wstring error;
        const auto lines = readLines(error);
        if (!lines) {
            for (int i = first; i < list.itemCount(); ++i) list.setItemChecked(i, false);
            marksWithoutFile_ = true;
            return;
        }
        if (lines->empty()) return;
        const std::vector<bool> excluded = ExcludedEntries(*lines, EntriesOf(list));
        for (int i = first; i < static_cast<int>(excluded.size()); ++i) {
            if (excluded[static_cast<std::size_t>(i)]) list.setItemChecked(i, false);
        }
    } catch (const std::exception&) {
    }
}

void ExclusionFile::Save(MainWindow& list) {
    const std::wstring file = path();
    std::wstring error;
    const auto lines = readLines(error);
    if (!lines) {
        log_.add(L"Could not save " + file + L": " + error);
        return;
    }
    if (marksWithoutFile_) {
        // The file reads again: the marks set without it give way to it,
        // and writing them back would change nothing.
        CompareToHardDrive(list);
        return;
    }
    std::vector<bool> checked;
    checked.reserve(static_cast<std::size_t>(list.itemCount()));
    for (int i = 0; i < list.itemCount(); ++i) checked.push_back(list.itemChecked(i));
    // Replaced in one step, as "settings.txt" is.
    const std::string bytes = EncodeTextFile(UpdatedExclusionLines(*lines, EntriesOf(list), checked), codepage_);
    if (!files_.replaceAtomically(file, bytes, error)) {
        log_.add(L"Could not save " + file + L": " + error);
    }
}

}  // namespace hb
