#pragma once
// "settings.txt" (login, site address, remembered password, the last kept
// protected for the Windows user: settings/PasswordLine.h) and
// "noupload.txt" (the unchecked entries), both in the folder of
// settings/SettingsLocation.h, in the format of settings/TextFileFormat.h
// and settings/ExclusionList.h, and the "Remember Password" box that decides
// what the first one holds.

#include <string>

#include "ports/DataProtection.h"
#include "ports/FileSystem.h"
#include "ports/MainWindow.h"
#include "ports/MessageBoxes.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"
#include "settings/ExclusionFile.h"
#include "settings/SettingsLocation.h"

namespace hb {

class SettingsStore {
public:
    // events receives the click a check box set from code raises.
    SettingsStore(MainWindow& window, FormEvents& events, MessageBoxes& boxes, FileSystem& files,
                  SettingsLocation& location, const Codepage& codepage, const DataProtection& protection,
                  MessageLog& log);

    // Fills the three fields and the box from "settings.txt". Returns whether
    // all three are filled, which means: log in by itself now.
    bool LoadSettings();
    // Writes both files from the window's state; a failure is logged. A
    // "settings.txt" found damaged at start-up is left alone...
    void SaveSettings();
    // ...until the user logs in: the login's save writes it anew.
    void SaveSettingsAtLogin();
    // Checks every entry, then unchecks those "noupload.txt" names.
    void CompareToHardDrive();
    // Unchecks the entries from index first on (added by a later scan) that
    // "noupload.txt" names.
    void UncheckExcludedEntries(int first) { exclusions_.UncheckNamed(window_, first); }
    // Asks before the password is stored in clear text; saves either way.
    void RememberPassword_Click();

    std::wstring SettingsFilePath() const;
    std::wstring ExclusionFilePath() const { return exclusions_.path(); }
    // True while LoadSettings sets the box from a remembered password, which
    // is no reason to ask.
    bool LoadingSettings() const { return loading_; }

private:
    MainWindow& window_;
    FormEvents& events_;
    MessageBoxes& boxes_;
    FileSystem& files_;
    SettingsLocation& location_;
    const Codepage& codepage_;
    const DataProtection& protection_;
    MessageLog& log_;
    mutable ExclusionFile exclusions_;
    bool loading_ = false;
    // "settings.txt" was damaged (NUL bytes, or far too large) or could not be read at start-up:
    // neither used nor written until the user logs in.
    bool damaged_ = false;
};

}  // namespace hb
