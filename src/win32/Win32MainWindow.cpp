#include "win32/Win32MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "win32/OpenMessageBox.h"
#include "win32/Win32MainWindowLayout.h"

namespace hb::win32 {

namespace {

// No WS_CLIPCHILDREN: the labels are transparent, so the window paints the
// background beneath them.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// WS_EX_CONTROLPARENT lets the dialog manager tab through the controls.
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr UINT_PTR kTimer1Id = 1;
constexpr UINT_PTR kUpdateTimerId = 2;

UINT_PTR TimerId(Timer timer) { return timer == Timer::Timer1 ? kTimer1Id : kUpdateTimerId; }
UINT TimerInterval(Timer timer) { return timer == Timer::Timer1 ? 1000 : 5000; }

void RegisterMainClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    // A second registration (another window in the same process) fails
    // harmlessly with ERROR_CLASS_ALREADY_EXISTS.
    ::RegisterClassExW(&windowClass);
}

// The outer size for the client area at this DPI.
SIZE OuterSize(UINT dpi) {
    RECT rect{0, 0, TwipsToPixels(kMainClientWidthTwips, dpi), TwipsToPixels(kMainClientHeightTwips, dpi)};
    ::AdjustWindowRectExForDpi(&rect, kWindowStyle, FALSE, kWindowExStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

UINT BringToFrontMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"HoardbookUploader.BringToFront");
    return message;
}

Win32MainWindow::Win32MainWindow(HINSTANCE instance)
    : instance_(instance),
      bigIcon_(instance, ::GetSystemMetrics(SM_CXICON)),
      smallIcon_(instance, ::GetSystemMetrics(SM_CXSMICON)) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterMainClass(instance, WindowThunk<Win32MainWindow>::Procedure);

    // A first guess: the window may open on a monitor of another scale.
    SIZE size = OuterSize(::GetDpiForSystem());
    HWND window = ::CreateWindowExW(kWindowExStyle, kMainWindowClass, kMainCaption, kWindowStyle, CW_USEDEFAULT,
                                    CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, instance, this);
    if (window == nullptr) throw std::runtime_error("the main window could not be created");
    window_.reset(window);
    // A second start asks this window to come forward, possibly from a
    // process with lower rights (started from the Run key).
    ::ChangeWindowMessageFilterEx(window, BringToFrontMessage(), MSGFLT_ALLOW, nullptr);
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    createControls();
    applyDpi(::GetDpiForWindow(window));
    // Sized for the DPI of the monitor it opened on, where the controls have
    // just been laid out; sized for the system's, the bottom buttons and the
    // log were cut off on a monitor with a larger scale.
    SIZE fitted = OuterSize(dpi_);
    ::SetWindowPos(window, nullptr, 0, 0, fitted.cx, fitted.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    timers_[Timer::Timer1] = false;
    timers_[Timer::UpdateTimer] = false;
    setTimerEnabled(Timer::Timer1, true);
}

Win32MainWindow::~Win32MainWindow() {
    destroying_ = true;
    events_ = nullptr;
    window_.reset();  // before the fonts and icons its controls use
}

void Win32MainWindow::createControls() {
    for (const ControlLayout& layout : MainWindowControls()) {
        HWND control = ::CreateWindowExW(layout.exStyle, layout.className, layout.text, WS_CHILD | WS_VISIBLE | layout.style,
                                         0, 0, 0, 0, window_.get(), reinterpret_cast<HMENU>(INT_PTR{layout.id}),
                                         instance_, nullptr);
        if (control == nullptr) throw std::runtime_error("a control of the main window could not be created");
    }
    HWND log = control(kIdData);
    // Without this the control stops taking input at 30000 characters; the
    // log can outgrow that with one long report.
    ::SendMessageW(log, EM_SETLIMITTEXT, 0, 0);
    ::SendMessageW(control(kIdPassword), EM_SETPASSWORDCHAR, L'*', 0);

    HWND list = control(kIdCharacters);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ListView_InsertColumn(list, 0, &column);
}

namespace {

int TextWidth(HDC context, HFONT font, const std::wstring& text) {
    HGDIOBJ old = ::SelectObject(context, font);
    SIZE extent{};
    ::GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(context, old);
    return extent.cx;
}

// The layout was made for MS Sans Serif's widths. Where the installed face
// is wider (Wine substitutes its own), a label or check box grows towards
// free space instead of clipping or wrapping its text: to the right, to the
// left when right-aligned, both ways when centred, never past the client.
RECT FittedPlace(const ControlLayout& layout, RECT place, int needed, int clientWidth) {
    int width = place.right - place.left;
    if (needed <= width) return place;
    int grow = needed - width;
    DWORD align = layout.style & SS_TYPEMASK;
    if (std::wstring_view(layout.className) == L"Static" && align == SS_RIGHT) {
        place.left = std::max<LONG>(0, place.left - grow);
    } else if (std::wstring_view(layout.className) == L"Static" && align == SS_CENTER) {
        place.left = std::max<LONG>(0, place.left - grow / 2);
        place.right = std::min<LONG>(clientWidth, place.left + needed);
    } else {
        place.right = std::min<LONG>(clientWidth, place.left + needed);
    }
    return place;
}

}  // namespace

void Win32MainWindow::applyDpi(UINT dpi) {
    dpi_ = dpi == 0 ? 96 : dpi;
    DpiFonts fonts;
    fonts.create(dpi_);
    const int clientWidth = TwipsToPixels(kMainClientWidthTwips, dpi_);
    HDC context = ::GetDC(window_.get());
    HDWP positions = ::BeginDeferWindowPos(static_cast<int>(MainWindowControls().size()));
    for (const ControlLayout& layout : MainWindowControls()) {
        HWND child = control(layout.id);
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.get(layout.font)), FALSE);
        RECT place{TwipsToPixels(layout.left, dpi_), TwipsToPixels(layout.top, dpi_), 0, 0};
        place.right = place.left + TwipsToPixels(layout.width, dpi_);
        place.bottom = place.top + TwipsToPixels(layout.height, dpi_);
        bool label = std::wstring_view(layout.className) == L"Static";
        bool checkBox = (layout.style & BS_TYPEMASK) == BS_AUTOCHECKBOX && !label;
        if (label || checkBox) {
            // A pixel or two of slack: a static wraps a text that fills it exactly.
            int needed = TextWidth(context, fonts.get(layout.font), layout.text) + ::MulDiv(2, static_cast<int>(dpi_), 96);
            if (checkBox) needed += CheckBoxTextOffset(dpi_);
            place = FittedPlace(layout, place, needed, clientWidth);
        }
        if (positions != nullptr) {
            positions = ::DeferWindowPos(positions, child, nullptr, place.left, place.top, place.right - place.left,
                                         place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ::ReleaseDC(window_.get(), context);
    if (positions != nullptr) ::EndDeferWindowPos(positions);
    fonts_ = std::move(fonts);  // the old fonts go only after every control has let go of them

    // One column as wide as the list's inside, less a vertical scroll bar.
    HWND list = control(kIdCharacters);
    RECT inside{};
    ::GetClientRect(list, &inside);
    int width = inside.right - (::GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL
                                    ? 0
                                    : ::GetSystemMetricsForDpi(SM_CXVSCROLL, dpi_));
    ListView_SetColumnWidth(list, 0, width > 0 ? width : 1);
    ::InvalidateRect(window_.get(), nullptr, TRUE);
}

void Win32MainWindow::load() {
    raise([](FormEvents& events) { events.onLoad(); });
}

void Win32MainWindow::raise(const std::function<void(FormEvents&)>& event) {
    if (events_ == nullptr || destroying_) return;
    FormEvents& events = *events_;
    RunGuarded(report_, [&] { event(events); });
}

// ---- the window procedure ----

LRESULT Win32MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_.get();
    switch (message) {
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case DM_GETDEFID:
            // Enter anywhere in the window presses "OK" (IsDialogMessage asks this).
            return MAKELRESULT(kIdCommand1, DC_HASDEFID);
        case WM_SIZE:
            raise([](FormEvents& events) { events.onResize(); });
            return 0;
        case WM_CLOSE: {
            bool cancel = false;
            raise([&](FormEvents& events) { events.onCloseRequest(cancel); });
            if (!cancel) ::DestroyWindow(window);
            return 0;
        }
        case WM_DESTROY:
            destroying_ = true;
            if (::GetParent(window) == nullptr && events_ != nullptr) ::PostQuitMessage(0);
            return 0;
        case WM_TIMER:
            if (wParam == kTimer1Id) raise([](FormEvents& events) { events.onTimer(Timer::Timer1); });
            if (wParam == kUpdateTimerId) raise([](FormEvents& events) { events.onTimer(Timer::UpdateTimer); });
            return 0;
        case WM_CTLCOLORSTATIC: {
            // Labels are transparent: several overlap the edge of the box
            // below them by a pixel, and must not paint over its border.
            HWND child = reinterpret_cast<HWND>(lParam);
            wchar_t kind[16] = {};
            ::GetClassNameW(child, kind, 16);
            if (std::wstring_view(kind) != L"Static") break;
            HDC context = reinterpret_cast<HDC>(wParam);
            ::SetBkMode(context, TRANSPARENT);
            ::SetTextColor(context, child == control(kIdLabel9) ? RGB(255, 0, 0) : ::GetSysColor(COLOR_BTNTEXT));
            return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        }
        case WM_ACTIVATE:
            // A plain window does not remember its focused control as a
            // dialog does; keep it across deactivation.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus != nullptr && ::IsChild(window, focus)) focusBeforeDeactivation_ = focus;
            } else if (!::IsIconic(window)) {
                HWND target = focusBeforeDeactivation_;
                if (target == nullptr || !::IsWindow(target) || !::IsWindowEnabled(target))
                    target = ::GetNextDlgTabItem(window, nullptr, FALSE);
                if (target != nullptr) ::SetFocus(target);
                return 0;
            }
            break;
        case WM_NEXTDLGCTL: {
            // The multi-line log asks its parent to move the focus on Tab and
            // Shift+Tab, as a dialog would; ignored, the keyboard never
            // leaves the log. wParam: the control, or backwards when not 0.
            HWND target = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                               : ::GetNextDlgTabItem(window, ::GetFocus(), wParam != 0);
            if (target != nullptr) ::SetFocus(target);
            return 0;
        }
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            applyDpi(HIWORD(wParam));
            ::SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                           suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        default:
            if (message == BringToFrontMessage()) {
                bringToFront();
                return 1;
            }
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void Win32MainWindow::onCommand(int id, int code) {
    auto click = [&](Control which) {
        // A disabled button can still be reached by a stray BN_CLICKED.
        if (!::IsWindowEnabled(control(static_cast<ControlId>(id)))) return;
        raise([which](FormEvents& events) { events.onClick(which); });
    };
    auto focus = [&](Control which) { raise([which](FormEvents& events) { events.onGotFocus(which); }); };
    if (code == BN_CLICKED) {
        switch (id) {
            case kIdCommand1: click(Control::Command1); break;
            case kIdCommand2: click(Control::Command2); break;
            case kIdCommand3: click(Control::Command3); break;
            case kIdRememberPassword: click(Control::RememberPassword); break;
            case kIdStartWithWindows: click(Control::StartWithWindows); break;
            default: break;
        }
    } else if (code == EN_CHANGE && id == kIdURL) {
        raise([](FormEvents& events) { events.onChange(Control::URL); });
    } else if (code == EN_SETFOCUS) {
        switch (id) {
            case kIdURL: focus(Control::URL); break;
            case kIdLogin: focus(Control::Login); break;
            case kIdPassword: focus(Control::Password); break;
            case kIdData: focus(Control::Data); break;
            default: break;
        }
    }
}

// ---- controls ----

std::wstring Win32MainWindow::text(Control which) const {
    HWND child = control(IdOf(which));
    int length = ::GetWindowTextLengthW(child);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(child, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void Win32MainWindow::setText(Control which, const std::wstring& text) {
    ::SetWindowTextW(control(IdOf(which)), text.c_str());
}

std::size_t Win32MainWindow::textLength(Control which) const {
    int length = ::GetWindowTextLengthW(control(IdOf(which)));
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}

// The edit control replaces its selection in place; setting the whole text
// instead makes it copy and lay out every line again (with a long log under
// Wine, for seconds per entry).
void Win32MainWindow::insertTextAtStart(Control which, const std::wstring& text) {
    HWND edit = control(IdOf(which));
    ::SendMessageW(edit, EM_SETSEL, 0, 0);
    ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    // Show the top, where the newest text stands, as setting the text would.
    ::SendMessageW(edit, EM_SETSEL, 0, 0);
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void Win32MainWindow::truncateText(Control which, std::size_t length) {
    HWND edit = control(IdOf(which));
    if (textLength(which) <= length) return;
    ::SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(length), -1);
    ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

bool Win32MainWindow::enabled(Control which) const { return ::IsWindowEnabled(control(IdOf(which))) != FALSE; }

void Win32MainWindow::setEnabled(Control which, bool enabled) {
    HWND child = control(IdOf(which));
    bool hadFocus = ::GetFocus() == child;
    ::EnableWindow(child, enabled ? TRUE : FALSE);
    // A disabled control keeps the focus it had, and the keyboard would be
    // stuck on it; move on as a dialog does.
    if (!enabled && hadFocus) {
        HWND next = ::GetNextDlgTabItem(window_.get(), child, FALSE);
        ::SetFocus(next != nullptr && next != child ? next : window_.get());
    }
}

int Win32MainWindow::checkValue(Control which) const {
    return ::SendMessageW(control(IdOf(which)), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32MainWindow::setCheckValue(Control which, int value) {
    ::SendMessageW(control(IdOf(which)), BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32MainWindow::setSelection(Control which, int start, int length) {
    ::SendMessageW(control(IdOf(which)), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
}

void Win32MainWindow::setFocus(Control which) {
    if (!visible()) return;
    ::SetFocus(control(IdOf(which)));
}

int Win32MainWindow::itemCount() const {
    return static_cast<int>(ListView_GetItemCount(control(kIdCharacters)));
}

std::wstring Win32MainWindow::itemText(int index) const {
    HWND list = control(kIdCharacters);
    std::vector<wchar_t> buffer(256);
    for (;;) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        auto copied = static_cast<std::size_t>(
            ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
        if (copied + 1 < buffer.size()) return std::wstring(buffer.data(), copied);
        buffer.resize(buffer.size() * 2);  // the text may have been cut: ask again with more room
    }
}

bool Win32MainWindow::itemChecked(int index) const {
    return ListView_GetCheckState(control(kIdCharacters), index) != FALSE;
}

void Win32MainWindow::setItemChecked(int index, bool checked) {
    ListView_SetCheckState(control(kIdCharacters), index, checked ? TRUE : FALSE);
}

void Win32MainWindow::addItem(const std::wstring& text) {
    HWND list = control(kIdCharacters);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(list);
    item.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void Win32MainWindow::addCheckedItems(const std::vector<std::wstring>& texts) {
    HWND list = control(kIdCharacters);
    // One redraw for the batch and the room made at once: thousands of
    // entries then take a fraction of what inserting them one by one does.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    const int first = ListView_GetItemCount(list);
    ListView_SetItemCount(list, first + static_cast<int>(texts.size()));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        item.iItem = first + static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(texts[i].c_str());
        const int inserted = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        // A check-box list gives every new entry the unchecked image,
        // whatever state the insert asked for.
        if (inserted >= 0) ListView_SetCheckState(list, inserted, TRUE);
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

// ---- window state ----

bool Win32MainWindow::visible() const { return ::IsWindowVisible(window_.get()) != FALSE; }

WindowState Win32MainWindow::shownState() const {
    if (::IsIconic(window_.get())) return WindowState::Minimised;
    if (::IsZoomed(window_.get())) return WindowState::Maximised;
    return WindowState::Normal;
}

WindowState Win32MainWindow::state() const { return visible() ? shownState() : hiddenState_; }

void Win32MainWindow::setState(WindowState state) {
    if (!visible()) {
        // Changing the state of a hidden window must not show it (a login
        // at start-up minimises the window before it was ever shown).
        if (state == hiddenState_) return;
        hiddenState_ = state;
        raise([](FormEvents& events) { events.onResize(); });
        return;
    }
    if (state == shownState()) return;
    // ShowWindow sends WM_SIZE, and so the resize event, before it returns.
    switch (state) {
        case WindowState::Minimised: ::ShowWindow(window_.get(), SW_MINIMIZE); break;
        case WindowState::Maximised: ::ShowWindow(window_.get(), SW_MAXIMIZE); break;
        case WindowState::Normal: ::ShowWindow(window_.get(), SW_RESTORE); break;
    }
}

void Win32MainWindow::show() {
    if (visible()) return;
    HWND window = window_.get();
    switch (hiddenState_) {
        case WindowState::Minimised:
            ::ShowWindow(window, SW_SHOWMINNOACTIVE);
            return;
        case WindowState::Maximised:
            ::ShowWindow(window, SW_SHOWMAXIMIZED);
            break;
        case WindowState::Normal:
            ::ShowWindow(window, ::IsIconic(window) ? SW_RESTORE : SW_SHOW);
            break;
    }
    ::SetForegroundWindow(window);
}

void Win32MainWindow::hide() {
    if (!visible()) return;
    hiddenState_ = shownState();
    ::ShowWindow(window_.get(), SW_HIDE);
}

void Win32MainWindow::bringToFront() {
    // A second copy started while a box is open: the box comes forward
    // instead, as for a click on the icon.
    if (BringOpenMessageBoxForward()) return;
    HWND window = window_.get();
    if (!visible() || ::IsIconic(window)) {
        hiddenState_ = WindowState::Normal;
        ::ShowWindow(window, ::IsIconic(window) ? SW_RESTORE : SW_SHOW);
    }
    ::SetForegroundWindow(window);
}

bool Win32MainWindow::timerEnabled(Timer timer) const {
    auto found = timers_.find(timer);
    return found != timers_.end() && found->second;
}

void Win32MainWindow::setTimerEnabled(Timer timer, bool enabled) {
    if (enabled) {
        // Re-arming restarts the interval, as enabling a running timer does.
        ::SetTimer(window_.get(), TimerId(timer), TimerInterval(timer), nullptr);
    } else {
        ::KillTimer(window_.get(), TimerId(timer));
    }
    timers_[timer] = enabled;
}

}  // namespace hb::win32
