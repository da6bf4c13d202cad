#pragma once
// "noupload.txt" (format: ExclusionList.h) between the disk and the list's
// check marks. The file is the record: it is read afresh whenever it is
// needed, so a line the player added by hand while the program runs counts
// too, and a line naming no listed entry survives every save.

#include <string>

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
    // later scan added.
    void UncheckNamed(MainWindow& list, int first);
    // Writes the marks: the file's lines updated by UpdatedExclusionLines. A
    // file that is there but cannot be read is left alone (and the failure
    // logged) rather than written without the lines it holds.
    void Save(const MainWindow& list);

private:
    FileSystem& files_;
    const Codepage& codepage_;
    MessageLog& log_;
    SettingsLocation& location_;
};

}  // namespace hb
