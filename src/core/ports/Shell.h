#pragma once
// shell32 as the program uses it: the notification-area icon (its record's
// tip in ANSI bytes, as the first version of the record has it), the
// executable associated with a file, and starting a program (UTF-16, so a
// folder or browser under C:\Users\Łukasz is named as it is).

#include <cstdint>
#include <string>

namespace hb {

// The first-version notify-icon record, in portable form; the Windows
// implementation copies it into a NOTIFYICONDATAA of the first version's size.
struct NotifyIconRecord {
    std::uintptr_t window = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callbackMessage = 0;
    std::uintptr_t icon = 0;
    std::string tip;  // at most 63 characters are used, then a zero
};

enum class TrayOperation : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

class Shell {
public:
    virtual ~Shell() = default;
    virtual bool notifyIcon(TrayOperation operation, const NotifyIconRecord& data) = 0;
    // FindExecutableW: the API's result (32 or less is a failure) and the path.
    virtual std::intptr_t findExecutable(const std::wstring& file, const std::wstring& directory,
                                         std::wstring& executable) = 0;
    // ShellExecuteW with no owner window.
    virtual std::intptr_t shellExecute(const std::wstring& operation, const std::wstring& file,
                                       const std::wstring& parameters, const std::wstring& directory,
                                       int showCommand) = 0;
};

// The hidden window that receives the tray icon's messages.
class TrayWindow {
public:
    virtual ~TrayWindow() = default;
    virtual void load() = 0;  // creates the window (never shown) if it does not exist yet
    virtual std::uintptr_t handle() const = 0;
    virtual std::uintptr_t icon() const = 0;
    virtual std::wstring caption() const = 0;
    // Twips per pixel in the horizontal direction (15 at 96 dots per inch).
    virtual double twipsPerPixelX() const = 0;
};

// The hidden window's events, raised by its implementation.
class TrayEvents {
public:
    virtual ~TrayEvents() = default;
    // The icon's callback, delivered as a mouse move whose x carries the
    // mouse message number in the form's scale unit.
    virtual void onMouseMove(int button, int shift, double x, double y) = 0;
    virtual void onUnload() = 0;
    // The notification area was rebuilt (Explorer restarted).
    virtual void onTaskbarCreated() = 0;
};

}  // namespace hb
