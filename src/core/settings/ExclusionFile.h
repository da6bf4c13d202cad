#pragma once
// "noupload.txt" (format: ExclusionList.h) between the disk and the list's
// check marks. The file is the record: it is read afresh whenever it is
// needed, so a line the player added by hand while the program runs counts
// too, and a line naming no listed entry survives every save.

#include <optional>
#include <string>
#include <vector>

#include "ports/FileSystem.h"
#include "ports/MainWindow.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"
#include "settings/SettingsLocation.h"

namespace hb {

class ExclusionFile {
public:
    ExclusionFile(FileSystem& files, const Codepage& codepage, MessageLog& log, SettingsLocation& location);

    std::wstring path();
    // Checks every entry, then unchecks those the file names.
    void CompareToHardDrive(MainWindow& list);
    // Unchecks the entries from index first on that the file names: those a
    // later scan added. While the file is there but cannot be read, those
    // entries are left unchecked instead: none it names may be uploaded.
    void UncheckNamed(MainWindow& list, int first);
    // Writes the marks: the file's lines updated by UpdatedExclusionLines. A
    // file that is there but cannot be read is left alone (and the failure
    // logged) rather than written without the lines it holds; marks set
    // while it could not be read are not written into it: once it reads
    // again, the list takes its marks from it first.
    void Save(MainWindow& list);

private:
    // The file as it stands now, or nothing when it is there but cannot be
    // read (error says why; logged once until it reads again).
    std::optional<std::vector<std::wstring>> readLines(std::wstring& error);

    FileSystem& files_;
    const Codepage& codepage_;
    MessageLog& log_;
    SettingsLocation& location_;
    // Some marks on the list were set without the file (it could not be read).
    bool marksWithoutFile_ = false;
    bool readFailureTold_ = false;
};

}  // namespace hb
