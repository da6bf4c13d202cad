#include "AppDriver.h"

#include <commctrl.h>

#include "win32/ControlIds.h"

namespace hb::e2e {

namespace {

constexpr UINT kSendTimeoutMs = 5000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

std::wstring WindowText(HWND window) {
    auto length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    auto copied = SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

// Memory in the program's process, for list-view messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, SIZE_T size) : process_(process) {
        address_ = ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_ != nullptr) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    void* address() const { return address_; }
    void write(const void* data, SIZE_T size, SIZE_T offset = 0) const {
        ::WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }
    void read(void* data, SIZE_T size, SIZE_T offset = 0) const {
        ::ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }

private:
    HANDLE process_;
    void* address_ = nullptr;
};

struct FindState {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<FindState*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == state->processId && ClassOf(window) == state->className) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className) {
    FindState state{processId, className, nullptr};
    ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
    if (::GetDlgCtrlID(child) == 0xFFFF) {  // the message box's text
        *reinterpret_cast<std::wstring*>(param) = WindowText(child);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

AppDriver::~AppDriver() {
    if (running()) kill();
    if (process_.hProcess != nullptr) ::CloseHandle(process_.hProcess);
    if (process_.hThread != nullptr) ::CloseHandle(process_.hThread);
}

bool AppDriver::start(const std::wstring& exePath, const std::wstring& workingFolder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exePath + L"\"";
    return ::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            workingFolder.c_str(), &startup, &process_) != FALSE;
}

bool AppDriver::waitForMainWindow(DWORD timeoutMs) {
    return WaitFor(
        [&] {
            main_ = FindProcessWindow(process_.dwProcessId, win32::kMainWindowClass);
            return main_ != nullptr;
        },
        timeoutMs);
}

bool AppDriver::running() const {
    return process_.hProcess != nullptr && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool AppDriver::waitForExit(DWORD timeoutMs) {
    return process_.hProcess != nullptr && ::WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD AppDriver::exitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void AppDriver::kill() {
    if (process_.hProcess == nullptr) return;
    ::TerminateProcess(process_.hProcess, 1);
    ::WaitForSingleObject(process_.hProcess, 5000);
}

HWND AppDriver::control(int id) const { return ::GetDlgItem(main_, id); }

std::wstring AppDriver::text(int id) const { return WindowText(control(id)); }

void AppDriver::setText(int id, const std::wstring& text) {
    SendWithTimeout(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool AppDriver::enabled(int id) const { return ::IsWindowEnabled(control(id)) != FALSE; }

int AppDriver::checkState(int id) const { return static_cast<int>(SendWithTimeout(control(id), BM_GETCHECK, 0, 0)); }

void AppDriver::click(int id) { ::PostMessageW(control(id), BM_CLICK, 0, 0); }

void AppDriver::pressEnter(int id) {
    HWND box = control(id);
    ::PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    ::PostMessageW(box, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

bool AppDriver::visible() const { return ::IsWindowVisible(main_) != FALSE; }

void AppDriver::close() { ::PostMessageW(main_, WM_CLOSE, 0, 0); }

bool AppDriver::bringBack(DWORD timeoutMs) {
    // As a player does: from the tray when hidden, clicking again while the
    // icon does not answer yet (start-up adds it last, after an automatic
    // login has hidden the window); from the taskbar when minimised, as a
    // minimised window's buttons take no click.
    ULONGLONG nextTrayClick = 0;
    return WaitFor(
        [&] {
            if (!visible()) {
                if (::GetTickCount64() >= nextTrayClick) {
                    trayMessage(WM_LBUTTONUP);
                    nextTrayClick = ::GetTickCount64() + 1000;
                }
                return false;
            }
            if (::IsIconic(main_)) {
                ::PostMessageW(main_, WM_SYSCOMMAND, SC_RESTORE, 0);
                return false;
            }
            return true;
        },
        timeoutMs);
}

bool AppDriver::exitProgram() {
    if (!bringBack()) return false;
    click(win32::kIdCommand2);
    return waitForExit(10000);
}

int AppDriver::entryCount() const {
    return static_cast<int>(SendWithTimeout(control(win32::kIdCharacters), LVM_GETITEMCOUNT, 0, 0));
}

std::vector<ListEntry> AppDriver::entries() const {
    std::vector<ListEntry> result;
    HWND list = control(win32::kIdCharacters);
    const int count = entryCount();
    constexpr SIZE_T kTextChars = 1024;
    RemoteBuffer remote(process_.hProcess, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    for (int index = 0; index < count; ++index) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.cchTextMax = kTextChars;
        item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.address()) + sizeof(LVITEMW));
        remote.write(&item, sizeof item);
        auto length = SendWithTimeout(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(remote.address()));
        std::wstring text(static_cast<std::size_t>(length), L'\0');
        remote.read(text.data(), text.size() * sizeof(wchar_t), sizeof(LVITEMW));
        auto state = SendWithTimeout(list, LVM_GETITEMSTATE, index, LVIS_STATEIMAGEMASK);
        result.push_back({text, ((state & LVIS_STATEIMAGEMASK) >> 12) == 2});
    }
    return result;
}

void AppDriver::setEntryChecked(int index, bool checked) {
    HWND list = control(win32::kIdCharacters);
    RemoteBuffer remote(process_.hProcess, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    remote.write(&item, sizeof item);
    SendWithTimeout(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(remote.address()));
}

void AppDriver::trayMessage(UINT mouseMessage) {
    HWND tray = FindProcessWindow(process_.dwProcessId, win32::kTrayWindowClass);
    ::PostMessageW(tray, WM_MOUSEMOVE, 1, static_cast<LPARAM>(mouseMessage));
}

int CountTrayIcons() {
    // Without a notification area of the desktop's own, Wine shows each icon
    // as a child window of its "Wine System Tray" window.
    int count = 0;
    HWND tray = nullptr;
    while ((tray = ::FindWindowExW(nullptr, tray, L"__winex11_standalone_tray", nullptr)) != nullptr) {
        HWND icon = nullptr;
        while ((icon = ::FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr)) != nullptr) {
            if (::IsWindowVisible(icon)) ++count;
        }
    }
    return count;
}

MessageBoxSeen AppDriver::messageBox() const {
    MessageBoxSeen box;
    box.window = FindProcessWindow(process_.dwProcessId, L"#32770");
    if (box.window != nullptr) {
        box.title = WindowText(box.window);
        ::EnumChildWindows(box.window, CollectStatic, reinterpret_cast<LPARAM>(&box.text));
    }
    return box;
}

MessageBoxSeen AppDriver::waitForMessageBox(DWORD timeoutMs) const {
    MessageBoxSeen box;
    WaitFor(
        [&] {
            box = messageBox();
            return box.window != nullptr && ::IsWindowVisible(box.window);
        },
        timeoutMs);
    return box;
}

void AppDriver::answer(const MessageBoxSeen& box, int buttonId) const {
    ::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box.window, buttonId)));
    WaitFor([&] { return ::IsWindow(box.window) == FALSE; }, 10000);
}

std::vector<std::wstring> AppDriver::answerBoxes(DWORD firstTimeoutMs) const {
    std::vector<std::wstring> texts;
    for (;;) {
        MessageBoxSeen box = waitForMessageBox(texts.empty() ? firstTimeoutMs : 3000);
        if (box.window == nullptr) return texts;
        texts.push_back(box.text);
        answer(box, IDOK);
    }
}

void AppDriver::logIn(const std::wstring& address, const std::wstring& login, const std::wstring& password) {
    setText(win32::kIdURL, address);
    setText(win32::kIdLogin, login);
    setText(win32::kIdPassword, password);
    pressEnter(win32::kIdPassword);
}

}  // namespace hb::e2e
