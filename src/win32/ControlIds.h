#pragma once
// Control identifiers of the main window, named as the program's documents
// name the controls, with the role each plays. Test drivers find controls
// by these, so they stay stable.

namespace hb::win32 {

enum ControlId : int {
    kIdStartWithWindows = 1001,  // "Run on Startup" check box: the Run value in the registry
    kIdRememberPassword = 1002,  // "Remember Password" check box: the password in settings.txt
    kIdCommand3 = 1003,          // "Log Out": stops the change watcher, fields editable again
    kIdData = 1004,              // the message log, newest entry on top (read only to the user)
    kIdCharacters = 1005,        // the check-list of saved-data entries; unchecked ones are not uploaded
    kIdCommand2 = 1006,          // "Exit Program": removes the tray icon and ends
    kIdCommand1 = 1007,          // "OK" (the default button): logs in, or hides the window once logged in
    kIdPassword = 1008,          // the website password
    kIdLogin = 1009,             // the website login name
    kIdURL = 1010,               // the guild website's host
    kIdLabel9 = 1011,            // the red warning not to type the game's own login
    kIdLabel8 = 1012,            // "Enter the Login and Password for your website:"
    kIdLabel7 = 1013,            // "Please enter your guild's website"
    kIdLabel6 = 1014,            // "Messages", above the log
    kIdLabel5 = 1015,            // the title line at the top
    kIdLabel4 = 1016,            // "http://" or "https://", left of the address box
    kIdLabel3 = 1017,            // "Password"
    kIdLabel2 = 1018,            // "Login"
    kIdLabel1 = 1019,            // the heading above the check-list
};

// Window class names, for finding the running program's windows.
inline constexpr wchar_t kMainWindowClass[] = L"HoardbookUploaderMainWindow";
inline constexpr wchar_t kTrayWindowClass[] = L"HoardbookUploaderTrayWindow";

}  // namespace hb::win32
