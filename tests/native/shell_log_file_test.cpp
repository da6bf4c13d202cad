// HoardbookUploader.log: every entry of the message log on disk, with an ISO
// date and time, beside the settings files; rotated at 1 MB; never the
// password; its failures never disturb the program.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "UploadsFixture.h"
#include "shell/LogFile.h"
#include "shell/MessageLog.h"

namespace hb::test {
namespace {

const std::string kMark = "\xEF\xBB\xBF";

class LogFileTest : public UploadsFixture {
protected:
    std::string logFile() const { return temp.read("Program/HoardbookUploader.log"); }
};

TEST_F(LogFileTest, EveryEntryIsAppendedWithAnIsoDateAndTimeInUtf8) {
    form->AddMessage(L"Successfully logged in");
    process.isoDateTimeText = L"2026-12-05 21:11:07";
    form->AddMessage(L"Profile for ACC\\Realm\\\u0141ukasz changed and was uploaded");
    form->AddMessage(L"Error Sending the following data\r\n-----Start-----\r\nabc\r\n-----End-----");

    EXPECT_EQ(logFile(), kMark + "2026-12-05 21:11:00: Successfully logged in\r\n"
                                 "2026-12-05 21:11:07: Profile for ACC\\Realm\\\xC5\x81ukasz changed and was uploaded\r\n"
                                 "2026-12-05 21:11:07: Error Sending the following data\r\n-----Start-----\r\nabc\r\n"
                                 "-----End-----\r\n");
    // The window has the same entries, newest on top, in the user's format.
    EXPECT_TRUE(logHas(L"12/5/2026 9:11:00 PM: Successfully logged in\r\n"));
    EXPECT_EQ(counter->appends[L"HoardbookUploader.log"], 3);
}

TEST_F(LogFileTest, AnEntryCarriesTheMessageAsBoundedAsInTheWindow) {
    form->AddMessage(std::wstring(kLogEntryMessageLimit + 100, L'x'));
    EXPECT_EQ(logFile(), kMark + "2026-12-05 21:11:00: " + std::string(kLogEntryMessageLimit, 'x') +
                             "\xE2\x80\xA6 (100 more characters)\r\n");
}

TEST_F(LogFileTest, AtOneMegabyteTheFileBecomesTheEarlierOneWhole) {
    // An earlier session's file, a few bytes short of the bound.
    const std::string earlier = kMark + std::string(kLogFileLimit - kMark.size() - 10, 'e');
    temp.write("Program/HoardbookUploader.log", earlier);
    temp.write("Program/HoardbookUploader.log.1", "the one before");

    form->AddMessage(L"first");  // would take it past 1 MB
    form->AddMessage(L"second");

    EXPECT_EQ(temp.read("Program/HoardbookUploader.log.1"), earlier);
    EXPECT_EQ(logFile(), kMark + "2026-12-05 21:11:00: first\r\n2026-12-05 21:11:00: second\r\n");
}

TEST_F(LogFileTest, ThePasswordIsNeverWritten) {
    window.setText(Control::Password, L"gold & glory");
    form->AddMessage(L"a site that echoed gold & glory twice: gold & glory");
    EXPECT_EQ(logFile(), kMark + "2026-12-05 21:11:00: a site that echoed ******** twice: ********\r\n");
}

TEST_F(LogFileTest, AFailedUploadLogsItsDataExcerptAndNotThePassword) {
    addEntry("A", "Hoardbook = { gold = 1 }\r\n");
    scan();
    siteDown = true;
    form->Command1_Click();

    const std::string file = logFile();
    EXPECT_NE(file.find("Error Sending the following data to http://guild.example/memberbankupload.php: \r\n"
                        "-----Start-----\r\nHoardbook = { gold = 1 }"),
              std::string::npos)
        << file;
    EXPECT_EQ(file.find("secret pass"), std::string::npos);
}

TEST_F(LogFileTest, AWriteFailureIsToldOnceInTheWindowAndDisturbsNothing) {
    counter->failing.insert(L"HoardbookUploader.log");
    addEntry("A");
    scan();

    form->Command1_Click();  // logs "Successfully logged in"
    form->AddMessage(L"later");

    EXPECT_EQ(uploads().size(), 1u);
    EXPECT_TRUE(logHas(L"Successfully logged in"));
    EXPECT_TRUE(logHas(L": later\r\n"));
    const std::wstring told = L"Could not write the log file " + programFolder() + L"\\HoardbookUploader.log: The disk is full.";
    std::size_t count = 0;
    for (auto at = log().find(told); at != std::wstring::npos; at = log().find(told, at + 1)) ++count;
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(temp.exists("Program/HoardbookUploader.log"));
}

TEST_F(LogFileTest, LivesBesideTheSettingsInThePerUserFolderWhenTheProgramFolderIsLocked) {
    std::filesystem::create_directories(temp.path() / "AppData");
    process.appDataFolder = temp.corePath("AppData");
    counter->lockedFolders.insert(L"Program");
    makeForm();
    form->onLoad();
    const std::string file = temp.read(std::filesystem::path("AppData") / "HoardbookUploader" / "HoardbookUploader.log");
    EXPECT_NE(file.find("Settings are kept in "), std::string::npos) << file;
    EXPECT_FALSE(temp.exists("Program/HoardbookUploader.log"));
}

}  // namespace
}  // namespace hb::test
