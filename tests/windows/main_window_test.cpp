// The real main window under Wine: its controls, their places at 96 DPI,
// fonts, tab order, and the window rules driven by real messages.

#include "windows/WindowFixture.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "desktop/SysTrayCustomizable.h"
#include "shell/Startup.h"
#include "win32/MessageDispatch.h"
#include "win32/Win32MainWindowLayout.h"

namespace hb::test {
namespace {

using namespace hb::win32;

struct ExpectedControl {
    ControlId id;
    const wchar_t* className;
    const wchar_t* text;
    int left, top, width, height;  // pixels at 96 DPI
    bool enabled;
};

// Every control at 96 DPI: twips / 15.
const ExpectedControl kExpected[] = {
    {kIdStartWithWindows, L"Button", L"Run on Startup", 216, 128, 121, 17, true},
    {kIdRememberPassword, L"Button", L"Remember Password", 216, 112, 121, 17, true},
    {kIdCommand3, L"Button", L"Log Out", 160, 280, 89, 25, false},
    {kIdData, L"Edit", L"", 0, 328, 353, 137, true},
    {kIdCharacters, L"SysListView32", L"", 0, 192, 353, 79, true},
    {kIdCommand2, L"Button", L"Exit Program", 8, 280, 89, 25, true},
    {kIdCommand1, L"Button", L"OK", 256, 280, 89, 25, true},
    {kIdPassword, L"Edit", L"", 112, 112, 97, 19, true},
    {kIdLogin, L"Edit", L"", 112, 88, 97, 19, true},
    {kIdURL, L"Edit", HOARDBOOK_DEMO_SITE, 64, 40, 241, 19, true},
    {kIdLabel9, L"Static", L"DO NOT ENTER YOUR WORLD OF WARCRAFT LOGIN INFO", 0, 152, 353, 17, true},
    {kIdLabel8, L"Static", L"Enter the Login and Password for your website:", 56, 72, 225, 17, true},
    {kIdLabel7, L"Static", L"Please enter your guild's website", 96, 24, 161, 17, true},
    {kIdLabel6, L"Static", L"Messages", 0, 312, 57, 17, true},
    {kIdLabel5, L"Static", L"Hoardbook.example's Hoardbook Profile Uploader", 16, 0, 321, 17, true},
    {kIdLabel4, L"Static", L"http://", 32, 44, 33, 17, true},
    {kIdLabel3, L"Static", L"Password", 48, 112, 57, 17, true},
    {kIdLabel2, L"Static", L"Login", 56, 88, 49, 17, true},
    {kIdLabel1, L"Static", L"Characters and Data (Please select all characters you wish to upload)", 8, 176, 337, 17,
     true},
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

RECT PlaceOf(HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    ::GetObjectW(handle, sizeof font, &font);
    return font;
}

std::pair<DWORD, DWORD> SelectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// The width a label's or check box's text needs with its font, with the two
// pixels a static needs so as not to wrap; 0 for other controls.
int NeededWidth(HWND child) {
    std::wstring kind = ClassOf(child);
    LONG style = ::GetWindowLongW(child, GWL_STYLE);
    bool checkBox = kind == L"Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    if (kind != L"Static" && !checkBox) return 0;
    HDC context = ::GetDC(child);
    auto old = ::SelectObject(context, reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
    std::wstring text = TextOf(child);
    SIZE extent{};
    ::GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(context, old);
    ::ReleaseDC(child, context);
    return extent.cx + 2 + (checkBox ? CheckBoxTextOffset(96) : 0);
}

class MainWindowTest : public WindowFixture {
protected:
    // Presses a key as the program's message loop receives it: the key going
    // down to the focused control, what that posts (the character, a focus
    // move), the key going up, all through the loop's dispatch.
    void press(WPARAM key, bool shift = false) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        MSG down{::GetFocus(), WM_KEYDOWN, key, 1, ::GetTickCount(), {}};
        win32::DispatchWindowMessage(down, main());
        dispatchPending();
        MSG up{::GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001), ::GetTickCount(), {}};
        win32::DispatchWindowMessage(up, main());
        dispatchPending();
        keys[VK_SHIFT] = 0;
        ::SetKeyboardState(keys);
    }
    void dispatchPending() {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) win32::DispatchWindowMessage(message, main());
    }
    // The focused control's ID after each of count presses.
    std::vector<int> focusAfterPresses(int count, bool shift) {
        std::vector<int> order;
        for (int i = 0; i < count; ++i) {
            press(VK_TAB, shift);
            order.push_back(::GetDlgCtrlID(::GetFocus()));
        }
        return order;
    }
};

// ---- the controls as created ----

TEST_F(MainWindowTest, WindowHasItsCaptionClassAndClientSize) {
    EXPECT_EQ(TextOf(main()), L"Hoardbook Profile Uploader");
    EXPECT_EQ(ClassOf(main()), kMainWindowClass);
    RECT client{};
    ::GetClientRect(main(), &client);
    EXPECT_EQ(client.right, 353);
    EXPECT_EQ(client.bottom, 466);
    EXPECT_FALSE(window.visible());  // shown only after start-up
    EXPECT_NE(::SendMessageW(main(), WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(MainWindowTest, EveryControlHasItsClassTextPlaceAndState) {
    ASSERT_EQ(window.dpi(), 96u);
    for (const auto& expected : kExpected) {
        SCOPED_TRACE(expected.id);
        HWND child = control(expected.id);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(ClassOf(child), expected.className);
        EXPECT_EQ(TextOf(child), expected.text);
        RECT place = PlaceOf(child);
        if (NeededWidth(child) <= expected.width) {
            EXPECT_EQ(place.left, expected.left);
            EXPECT_EQ(place.right - place.left, expected.width);
        } else {
            // A wider face than the layout's: the label grew, and only as
            // far as its text needs.
            EXPECT_LE(place.left, expected.left);
            EXPECT_GE(place.right, expected.left + expected.width);
            EXPECT_EQ(place.right - place.left, std::min(NeededWidth(child), 353));
        }
        EXPECT_EQ(place.top, expected.top);
        EXPECT_EQ(place.bottom - place.top, expected.height);
        EXPECT_EQ(::IsWindowEnabled(child) != FALSE, expected.enabled);
        EXPECT_TRUE(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE);
    }
}

TEST_F(MainWindowTest, EveryLabelTextFitsItsBox) {
    for (const auto& expected : kExpected) {
        HWND child = control(expected.id);
        if (NeededWidth(child) == 0) continue;  // not a label or check box
        RECT client{};
        ::GetClientRect(child, &client);
        EXPECT_LE(NeededWidth(child), client.right) << "text of control " << expected.id << " is clipped";
        EXPECT_LE(-FontOf(child).lfHeight, client.bottom) << "text of control " << expected.id << " is clipped";
    }
}

TEST_F(MainWindowTest, FittingAddsNoOverlapTheLayoutDoesNotHave) {
    auto expectedRect = [](const ExpectedControl& c) {
        return RECT{c.left, c.top, c.left + c.width, c.top + c.height};
    };
    for (const auto& a : kExpected) {
        for (const auto& b : kExpected) {
            if (a.id >= b.id) continue;
            RECT overlap{};
            RECT ra = PlaceOf(control(a.id)), rb = PlaceOf(control(b.id));
            RECT sa = expectedRect(a), sb = expectedRect(b);
            if (::IntersectRect(&overlap, &ra, &rb)) {
                EXPECT_TRUE(::IntersectRect(&overlap, &sa, &sb)) << a.id << " now overlaps " << b.id;
            }
        }
    }
}

TEST_F(MainWindowTest, ControlsHaveTheirStylesAndFonts) {
    LONG log = ::GetWindowLongW(control(kIdData), GWL_STYLE);
    EXPECT_TRUE(log & ES_MULTILINE);
    EXPECT_TRUE(log & WS_VSCROLL);
    EXPECT_FALSE(log & ES_READONLY);
    EXPECT_EQ(std::wstring(FontOf(control(kIdData)).lfFaceName), L"Courier New");
    EXPECT_EQ(FontOf(control(kIdData)).lfHeight, -11);  // 8.25 pt at 96 DPI

    EXPECT_EQ(::SendMessageW(control(kIdPassword), EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_EQ(::GetWindowLongW(control(kIdCommand1), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(::GetWindowLongW(control(kIdRememberPassword), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(::GetWindowLongW(control(kIdStartWithWindows), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(::GetWindowLongW(control(kIdLabel2), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);
    EXPECT_EQ(::GetWindowLongW(control(kIdLabel3), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);
    EXPECT_EQ(::GetWindowLongW(control(kIdLabel9), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);

    LOGFONTW warning = FontOf(control(kIdLabel9));
    EXPECT_EQ(warning.lfWeight, FW_BOLD);
    EXPECT_EQ(warning.lfHeight, -11);
    LOGFONTW title = FontOf(control(kIdLabel5));
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    EXPECT_EQ(title.lfHeight, -13);  // 9.75 pt
    LOGFONTW plain = FontOf(control(kIdLabel1));
    EXPECT_EQ(plain.lfWeight, FW_NORMAL);
    EXPECT_EQ(plain.lfHeight, -11);
    EXPECT_EQ(std::wstring(plain.lfFaceName), std::wstring(title.lfFaceName));
}

TEST_F(MainWindowTest, WarningIsRed) {
    HDC context = ::CreateCompatibleDC(nullptr);
    ::SendMessageW(main(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                   reinterpret_cast<LPARAM>(control(kIdLabel9)));
    EXPECT_EQ(::GetTextColor(context), RGB(255, 0, 0));
    ::SetTextColor(context, RGB(1, 2, 3));
    ::SendMessageW(main(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                   reinterpret_cast<LPARAM>(control(kIdLabel8)));
    EXPECT_NE(::GetTextColor(context), RGB(255, 0, 0));
    EXPECT_EQ(::GetBkMode(context), TRANSPARENT);  // a label does not paint over the box below it
    ::DeleteDC(context);
}

TEST_F(MainWindowTest, CheckListIsAListViewWithCheckBoxesAndOneColumn) {
    HWND list = control(kIdCharacters);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_CHECKBOXES);
    EXPECT_EQ(::GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(::GetWindowLongW(list, GWL_STYLE) & LVS_NOCOLUMNHEADER);
    EXPECT_GT(ListView_GetColumnWidth(list, 0), 300);
}

// ---- tab order ----

TEST_F(MainWindowTest, TabStopsFollowTheTabIndexes) {
    std::vector<int> order;
    for (HWND child = ::GetWindow(main(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) order.push_back(::GetDlgCtrlID(child));
    }
    EXPECT_EQ(order, (std::vector<int>{kIdData, kIdURL, kIdLogin, kIdPassword, kIdCharacters, kIdCommand2,
                                       kIdCommand3, kIdCommand1, kIdRememberPassword, kIdStartWithWindows}));
}

TEST_F(MainWindowTest, TabSkipsTheDisabledLogOutAndWrapsAround) {
    std::vector<int> order;
    HWND at = control(kIdData);
    for (int i = 0; i < 10; ++i) {
        at = ::GetNextDlgTabItem(main(), at, FALSE);
        order.push_back(::GetDlgCtrlID(at));
    }
    EXPECT_EQ(order, (std::vector<int>{kIdURL, kIdLogin, kIdPassword, kIdCharacters, kIdCommand2, kIdCommand1,
                                       kIdRememberPassword, kIdStartWithWindows, kIdData, kIdURL}));
}

TEST_F(MainWindowTest, TabAndShiftTabCycleThroughEveryControlFromTheOpeningFocus) {
    window.setText(Control::URL, L"guild.example");
    window.setText(Control::Login, L"raider");
    window.show();
    dispatchPending();
    ASSERT_EQ(::GetDlgCtrlID(::GetFocus()), kIdData) << "the window opens with the focus in the log";
    const std::wstring log = window.text(Control::Data);

    // From the log (a multi-line edit, which asks its parent to move the
    // focus) once round and on, then back again.
    EXPECT_EQ(focusAfterPresses(10, false),
              (std::vector<int>{kIdURL, kIdLogin, kIdPassword, kIdCharacters, kIdCommand2, kIdCommand1,
                                kIdRememberPassword, kIdStartWithWindows, kIdData, kIdURL}));
    EXPECT_EQ(SelectionOf(control(kIdURL)), std::make_pair(DWORD{0}, DWORD{13})) << "a text box selects all on entry";
    EXPECT_EQ(focusAfterPresses(10, true),
              (std::vector<int>{kIdData, kIdStartWithWindows, kIdRememberPassword, kIdCommand1, kIdCommand2,
                                kIdCharacters, kIdPassword, kIdLogin, kIdURL, kIdData}));
    EXPECT_EQ(SelectionOf(control(kIdLogin)), std::make_pair(DWORD{0}, DWORD{6}));
    press(VK_TAB, true);
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), kIdStartWithWindows) << "Shift+Tab leaves the log backwards too";
    EXPECT_EQ(window.text(Control::Data), log) << "Tab is no character of the log";
    EXPECT_TRUE(reported.empty());
}

TEST_F(MainWindowTest, EachBoxIsNamedByTheLabelBeforeIt) {
    auto before = [&](ControlId id) { return ::GetDlgCtrlID(::GetWindow(control(id), GW_HWNDPREV)); };
    EXPECT_EQ(before(kIdData), kIdLabel6);
    EXPECT_EQ(before(kIdURL), kIdLabel7);
    EXPECT_EQ(before(kIdLogin), kIdLabel2);
    EXPECT_EQ(before(kIdPassword), kIdLabel3);
    EXPECT_EQ(before(kIdCharacters), kIdLabel1);
}

// ---- reading and writing the controls ----

TEST_F(MainWindowTest, TextsRoundTripIncludingALogBeyondTheDefaultLimit) {
    std::wstring log;
    for (int i = 0; i < 5000; ++i) log += L"12/5/2026 9:11:00 PM: line " + std::to_wstring(i) + L"\r\n";
    ASSERT_GT(log.size(), 100000u);
    window.setText(Control::Data, log);
    EXPECT_EQ(window.text(Control::Data), log);
    window.setText(Control::Login, L"Zo\u00eb \u4e2d");
    EXPECT_EQ(window.text(Control::Login), L"Zo\u00eb \u4e2d");
    window.setText(Control::Login, L"");
    EXPECT_EQ(window.text(Control::Login), L"");
}

TEST_F(MainWindowTest, LogGrowsAtTheTopAndIsCutAtTheBottomInPlaceShowingTheTop) {
    std::wstring log;
    for (int i = 0; i < 2000; ++i) log += L"12/5/2026 9:11:00 PM: line " + std::to_wstring(i) + L"\r\n";
    window.setText(Control::Data, log);
    ::SendMessageW(control(kIdData), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(window.textLength(Control::Data), log.size());

    const std::wstring entry = L"12/5/2026 9:12:00 PM: \u0141ukasz \U0001F600\r\n-----Start-----\r\n";
    window.insertTextAtStart(Control::Data, entry);
    EXPECT_EQ(window.text(Control::Data), entry + log);
    EXPECT_EQ(::SendMessageW(control(kIdData), EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the newest entry is in view";

    // The cut may fall inside a line end, as the log's rule says.
    const std::size_t keep = entry.size() + 30;
    window.truncateText(Control::Data, keep);
    EXPECT_EQ(window.text(Control::Data), (entry + log).substr(0, keep));
    window.truncateText(Control::Data, keep + 100);  // nothing beyond the end to cut
    EXPECT_EQ(window.textLength(Control::Data), keep);
}

TEST_F(MainWindowTest, LogCanStillBeTypedIntoBeyondThirtyThousandCharacters) {
    EXPECT_GT(static_cast<unsigned long>(::SendMessageW(control(kIdData), EM_GETLIMITTEXT, 0, 0)), 1000000ul);
}

TEST_F(MainWindowTest, CheckListEntriesAndMarks) {
    window.addItem(L"ACCOUNT1");
    window.addItem(L"ACCOUNT2\\Realm\\Character");
    window.addItem(std::wstring(600, L'x'));
    ASSERT_EQ(window.itemCount(), 3);
    EXPECT_EQ(window.itemText(0), L"ACCOUNT1");
    EXPECT_EQ(window.itemText(1), L"ACCOUNT2\\Realm\\Character");
    EXPECT_EQ(window.itemText(2), std::wstring(600, L'x'));
    EXPECT_FALSE(window.itemChecked(0));
    window.setItemChecked(1, true);
    EXPECT_FALSE(window.itemChecked(0));
    EXPECT_TRUE(window.itemChecked(1));
    // What assistive technology reads: the state image of a checked entry.
    EXPECT_EQ(ListView_GetItemState(control(kIdCharacters), 1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
    window.setItemChecked(1, false);
    EXPECT_FALSE(window.itemChecked(1));

    // A walk's batch: appended after what is there, in order, each checked.
    window.addCheckedItems({L"ACCOUNT3", L"ACCOUNT4\\Realm\\Alt", std::wstring(600, L'y')});
    ASSERT_EQ(window.itemCount(), 6);
    EXPECT_EQ(window.itemText(3), L"ACCOUNT3");
    EXPECT_EQ(window.itemText(4), L"ACCOUNT4\\Realm\\Alt");
    EXPECT_EQ(window.itemText(5), std::wstring(600, L'y'));
    for (int i = 3; i < 6; ++i) EXPECT_TRUE(window.itemChecked(i)) << i;
    EXPECT_FALSE(window.itemChecked(2));
    EXPECT_EQ(ListView_GetItemState(control(kIdCharacters), 4, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
}

TEST_F(MainWindowTest, EnabledStatesAndCheckValues) {
    EXPECT_FALSE(window.enabled(Control::Command3));
    window.setEnabled(Control::Command3, true);
    EXPECT_TRUE(window.enabled(Control::Command3));
    window.setEnabled(Control::URL, false);
    EXPECT_FALSE(::IsWindowEnabled(control(kIdURL)));

    EXPECT_EQ(window.checkValue(Control::RememberPassword), 0);
    window.setCheckValue(Control::RememberPassword, 1);
    EXPECT_EQ(window.checkValue(Control::RememberPassword), 1);
    pump();
    EXPECT_EQ(tap.count(EventTap::click(Control::RememberPassword)), 0);  // set from code: no click
}

TEST_F(MainWindowTest, UsersClickOnACheckBoxRaisesTheClickAfterTheChange) {
    window.show();
    int valueSeen = -1;
    tap.onClickHook = [&](Control control) {
        if (control == Control::StartWithWindows) valueSeen = window.checkValue(control);
    };
    ::SendMessageW(control(kIdStartWithWindows), BM_CLICK, 0, 0);
    EXPECT_EQ(tap.count(EventTap::click(Control::StartWithWindows)), 1);
    EXPECT_EQ(valueSeen, 1);
}

TEST_F(MainWindowTest, ButtonsRaiseTheirClicksButNotWhileDisabled) {
    ::SendMessageW(main(), WM_COMMAND, MAKEWPARAM(kIdCommand1, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control(kIdCommand1)));
    ::SendMessageW(main(), WM_COMMAND, MAKEWPARAM(kIdCommand3, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control(kIdCommand3)));
    EXPECT_EQ(tap.count(EventTap::click(Control::Command1)), 1);
    EXPECT_EQ(tap.count(EventTap::click(Control::Command3)), 0);
}

TEST_F(MainWindowTest, EnterPressesOk) {
    window.show();
    ::SetFocus(control(kIdPassword));
    MSG enter{control(kIdPassword), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(::IsDialogMessageW(main(), &enter));
    EXPECT_EQ(tap.count(EventTap::click(Control::Command1)), 1);

    window.setEnabled(Control::Command1, false);  // logged in: Enter does nothing
    ::SetFocus(control(kIdLogin));
    MSG again{control(kIdLogin), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    ::IsDialogMessageW(main(), &again);
    EXPECT_EQ(tap.count(EventTap::click(Control::Command1)), 1);
}

TEST_F(MainWindowTest, DisablingTheFocusedBoxMovesTheFocusOn) {
    window.show();
    ::SetFocus(control(kIdPassword));
    window.setEnabled(Control::Password, false);
    HWND focus = ::GetFocus();
    EXPECT_NE(focus, control(kIdPassword));
    EXPECT_TRUE(focus == main() || ::IsChild(main(), focus));
}

// ---- window rules ----

TEST_F(MainWindowTest, MinimisingHidesAndTheWindowLivesOn) {
    window.show();
    ASSERT_TRUE(window.visible());
    ::ShowWindow(main(), SW_MINIMIZE);  // as the title bar's button does
    EXPECT_FALSE(window.visible());
    EXPECT_TRUE(::IsWindow(main()));
    EXPECT_EQ(window.state(), WindowState::Minimised);
}

TEST_F(MainWindowTest, SystemMenuMinimiseHidesToo) {
    window.show();
    ::SendMessageW(main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(window.visible());
}

TEST_F(MainWindowTest, CloseRequestHidesAndNothingEnds) {
    window.show();
    ::SendMessageW(main(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.visible());
    EXPECT_TRUE(::IsWindow(main()));
    EXPECT_EQ(process.endCount, 0);
    MSG quit;
    EXPECT_FALSE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    ::SendMessageW(main(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the title bar's close button
    EXPECT_TRUE(::IsWindow(main()));
    EXPECT_EQ(tap.count(L"close"), 2);
}

TEST_F(MainWindowTest, MinimisingFromCodeRaisesResizeBeforeReturning) {
    window.show();
    tap.log.clear();
    window.setState(WindowState::Minimised);
    ASSERT_FALSE(tap.log.empty());
    EXPECT_EQ(tap.log.front(), L"resize");
    EXPECT_FALSE(window.visible());
}

TEST_F(MainWindowTest, TrayToggleBringsAMinimisedWindowBackNormal) {
    window.show();
    window.setState(WindowState::Minimised);
    ASSERT_FALSE(window.visible());
    ToggleMainWindow(window);
    EXPECT_TRUE(window.visible());
    EXPECT_FALSE(::IsIconic(main()));
    EXPECT_EQ(window.state(), WindowState::Normal);
    ToggleMainWindow(window);
    EXPECT_FALSE(window.visible());
}

TEST_F(MainWindowTest, LoginDuringStartupKeepsTheWindowHidden) {
    tap.log.clear();
    window.setState(WindowState::Minimised);  // before the window was ever shown
    EXPECT_EQ(tap.count(L"resize"), 1);
    DisplayAfterLoad(window, true);
    EXPECT_FALSE(window.visible());
    ToggleMainWindow(window);
    EXPECT_TRUE(window.visible());
    EXPECT_FALSE(::IsIconic(main()));
}

TEST_F(MainWindowTest, StartupWithoutLoginShowsTheWindow) {
    DisplayAfterLoad(window, true);
    EXPECT_TRUE(window.visible());
    EXPECT_EQ(window.state(), WindowState::Normal);
}

TEST_F(MainWindowTest, SecondStartsMessageBringsAHiddenWindowForward) {
    window.show();
    window.setState(WindowState::Minimised);
    ASSERT_FALSE(window.visible());
    EXPECT_EQ(::SendMessageW(main(), BringToFrontMessage(), 0, 0), 1);
    EXPECT_TRUE(window.visible());
    EXPECT_FALSE(::IsIconic(main()));
}

TEST_F(MainWindowTest, FocusSelectsTheWholeText) {
    window.show();
    window.setText(Control::URL, L"guild.example");
    ::SendMessageW(control(kIdURL), EM_SETSEL, 2, 2);
    ::SetFocus(control(kIdData));
    ::SetFocus(control(kIdURL));
    EXPECT_EQ(SelectionOf(control(kIdURL)), std::make_pair(DWORD{0}, DWORD{13}));
    EXPECT_EQ(tap.count(L"focus " + std::to_wstring(static_cast<int>(Control::URL))), 1);

    ::SetFocus(control(kIdLogin));  // empty: an empty selection at 0
    EXPECT_EQ(SelectionOf(control(kIdLogin)), std::make_pair(DWORD{0}, DWORD{0}));

    window.setText(Control::Password, L"secret");
    ::SetFocus(control(kIdPassword));
    EXPECT_EQ(SelectionOf(control(kIdPassword)), std::make_pair(DWORD{0}, DWORD{6}));
}

TEST_F(MainWindowTest, FocusFromCodeIsIgnoredWhileHidden) {
    HWND before = ::GetFocus();
    window.setFocus(Control::Login);
    EXPECT_EQ(::GetFocus(), before);
    window.show();
    window.setFocus(Control::Login);
    EXPECT_EQ(::GetFocus(), control(kIdLogin));
}

// ---- timers ----

TEST_F(MainWindowTest, Timer1TicksFromTheStartAndUpdateTimerWaits) {
    EXPECT_TRUE(window.timerEnabled(Timer::Timer1));
    EXPECT_FALSE(window.timerEnabled(Timer::UpdateTimer));
    EXPECT_TRUE(pumpUntil([&] { return tap.count(L"timer1") >= 1; }, 3000));
    EXPECT_EQ(tap.count(L"updatetimer"), 0);

    window.setTimerEnabled(Timer::Timer1, false);
    EXPECT_FALSE(window.timerEnabled(Timer::Timer1));
    int ticks = tap.count(L"timer1");
    pumpUntil([] { return false; }, 1300);
    EXPECT_EQ(tap.count(L"timer1"), ticks);

    window.setTimerEnabled(Timer::UpdateTimer, true);
    EXPECT_TRUE(window.timerEnabled(Timer::UpdateTimer));
}

// ---- DPI ----

TEST_F(MainWindowTest, NewDpiLaysTheControlsOutAgain) {
    RECT suggested{100, 100, 700, 900};
    ::SendMessageW(main(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(window.dpi(), 144u);
    RECT data = PlaceOf(control(kIdData));
    EXPECT_EQ(data.top, 492);                   // 4920 twips
    EXPECT_EQ(data.right - data.left, 530);     // 5295 twips, rounded
    RECT ok = PlaceOf(control(kIdCommand1));
    EXPECT_EQ(ok.left, 384);
    EXPECT_EQ(ok.top, 420);
    EXPECT_EQ(FontOf(control(kIdData)).lfHeight, -17);  // 8.25 pt at 144 DPI
    EXPECT_EQ(FontOf(control(kIdLabel5)).lfHeight, -20);
}

// ---- the boundary ----

TEST_F(MainWindowTest, HandlerFailuresAreReportedAndStopAtTheWindow) {
    tap.onClickHook = [](Control) { throw std::runtime_error("boom"); };
    ::SendMessageW(main(), WM_COMMAND, MAKEWPARAM(kIdCommand1, BN_CLICKED), 0);
    tap.onClickHook = [](Control) { throw 42; };
    ::SendMessageW(main(), WM_COMMAND, MAKEWPARAM(kIdCommand2, BN_CLICKED), 0);
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0], L"Unexpected error: boom");
    EXPECT_EQ(reported[1].rfind(L"Unexpected error: ", 0), 0u);
    EXPECT_TRUE(::IsWindow(main()));
}

TEST_F(MainWindowTest, LoadIsRaisedOnce) {
    window.load();
    EXPECT_EQ(tap.count(L"load"), 1);
}

}  // namespace
}  // namespace hb::test
