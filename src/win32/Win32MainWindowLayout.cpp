#include "win32/Win32MainWindowLayout.h"

#include <commctrl.h>

#include <array>

namespace hb::win32 {

namespace {

// The maker's site, named in the title line; the demonstration guild site
// is the build's HOARDBOOK_DEMO_SITE.
#define HB_SITE_NAME L"Hoardbook.example"

constexpr DWORD kEdit = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kRightLabel = SS_RIGHT | SS_NOPREFIX;
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheckBox = WS_TABSTOP | BS_AUTOCHECKBOX;

const std::array<ControlLayout, 19> kControls{{
    {kIdLabel6, L"Static", L"Messages", 0, 4680, 855, 255, kLabel, 0, FontKind::Dialog},
    {kIdData, L"Edit", L"", 0, 4920, 5295, 2055, WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
     WS_EX_CLIENTEDGE, FontKind::Log},
    {kIdLabel5, L"Static", HB_SITE_NAME L"'s Hoardbook Profile Uploader", 240, 0, 4815, 255, kLabel, 0,
     FontKind::BoldTitle},
    {kIdLabel4, L"Static", L"http://", 480, 660, 495, 255, kLabel, 0, FontKind::Dialog},
    {kIdLabel7, L"Static", L"Please enter your guild's website", 1440, 360, 2415, 255, kLabel, 0, FontKind::Dialog},
    {kIdURL, L"Edit", HOARDBOOK_DEMO_SITE, 960, 600, 3615, 285, kEdit, WS_EX_CLIENTEDGE, FontKind::Dialog},
    {kIdLabel8, L"Static", L"Enter the Login and Password for your website:", 840, 1080, 3375, 255, kLabel, 0,
     FontKind::Dialog},
    {kIdLabel2, L"Static", L"Login", 840, 1320, 735, 255, kRightLabel, 0, FontKind::Dialog},
    {kIdLogin, L"Edit", L"", 1680, 1320, 1455, 285, kEdit, WS_EX_CLIENTEDGE, FontKind::Dialog},
    {kIdLabel3, L"Static", L"Password", 720, 1680, 855, 255, kRightLabel, 0, FontKind::Dialog},
    {kIdPassword, L"Edit", L"", 1680, 1680, 1455, 285, kEdit | ES_PASSWORD, WS_EX_CLIENTEDGE, FontKind::Dialog},
    {kIdLabel9, L"Static", L"DO NOT ENTER YOUR WORLD OF WARCRAFT LOGIN INFO", 0, 2280, 5295, 255,
     SS_CENTER | SS_NOPREFIX, 0, FontKind::BoldWarning},
    {kIdLabel1, L"Static", L"Characters and Data (Please select all characters you wish to upload)", 120, 2640,
     5055, 255, kLabel, 0, FontKind::Dialog},
    {kIdCharacters, WC_LISTVIEWW, L"", 0, 2880, 5295, 1185,
     WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE,
     FontKind::Dialog},
    {kIdCommand2, L"Button", L"Exit Program", 120, 4200, 1335, 375, kButton, 0, FontKind::Dialog},
    {kIdCommand3, L"Button", L"Log Out", 2400, 4200, 1335, 375, kButton | WS_DISABLED, 0, FontKind::Dialog},
    {kIdCommand1, L"Button", L"OK", 3840, 4200, 1335, 375, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, FontKind::Dialog},
    {kIdRememberPassword, L"Button", L"Remember Password", 3240, 1680, 1815, 255, kCheckBox, 0, FontKind::Dialog},
    {kIdStartWithWindows, L"Button", L"Run on Startup", 3240, 1920, 1815, 255, kCheckBox, 0, FontKind::Dialog},
}};

}  // namespace

std::span<const ControlLayout> MainWindowControls() { return kControls; }

int TwipsToPixels(int twips, UINT dpi) { return ::MulDiv(twips, static_cast<int>(dpi), 1440); }

int FontHeight(int hundredthsOfPoint, UINT dpi) { return -::MulDiv(hundredthsOfPoint, static_cast<int>(dpi), 7200); }

int CheckBoxTextOffset(UINT dpi) {
    return ::GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + ::MulDiv(6, static_cast<int>(dpi), 96);
}

ControlId IdOf(Control control) {
    switch (control) {
        case Control::URL: return kIdURL;
        case Control::Login: return kIdLogin;
        case Control::Password: return kIdPassword;
        case Control::Characters: return kIdCharacters;
        case Control::Data: return kIdData;
        case Control::RememberPassword: return kIdRememberPassword;
        case Control::StartWithWindows: return kIdStartWithWindows;
        case Control::Command1: return kIdCommand1;
        case Control::Command2: return kIdCommand2;
        case Control::Command3: return kIdCommand3;
        case Control::Label4: return kIdLabel4;
    }
    return kIdData;
}

}  // namespace hb::win32
