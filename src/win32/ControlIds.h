#pragma once
// Control identifiers of the main window. Test drivers find controls by
// these, so they stay stable.

namespace hb::win32 {

enum ControlId : int {
    kIdStartWithWindows = 1001,
    kIdRememberPassword = 1002,
    kIdCommand3 = 1003,  // "Log Out"
    kIdData = 1004,      // the message log
    kIdCharacters = 1005,
    kIdCommand2 = 1006,  // "Exit Program"
    kIdCommand1 = 1007,  // "OK" (the default button)
    kIdPassword = 1008,
    kIdLogin = 1009,
    kIdURL = 1010,
    kIdLabel9 = 1011,
    kIdLabel8 = 1012,
    kIdLabel7 = 1013,
    kIdLabel6 = 1014,
    kIdLabel5 = 1015,
    kIdLabel4 = 1016,
    kIdLabel3 = 1017,
    kIdLabel2 = 1018,
    kIdLabel1 = 1019,
};

// Window class names, for finding the running program's windows.
inline constexpr wchar_t kMainWindowClass[] = L"HoardbookUploaderMainWindow";
inline constexpr wchar_t kTrayWindowClass[] = L"HoardbookUploaderTrayWindow";

}  // namespace hb::win32
