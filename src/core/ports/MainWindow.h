#pragma once
// What the core reads and writes of the main window and its controls.
// The implementation raises the window's events through FormEvents exactly as
// the platform does (for instance, minimising from code raises the resize
// event before setState returns).

#include <cstddef>
#include <string>
#include <vector>

namespace hb {

enum class Control {
    URL,
    Login,
    Password,
    Characters,
    Data,
    RememberPassword,
    StartWithWindows,
    Command1,  // "OK"
    Command2,  // "Exit Program"
    Command3,  // "Log Out"
    Label4,    // the scheme left of the address box
};

enum class Timer { Timer1, UpdateTimer };

enum class WindowState { Normal, Minimised, Maximised };

class MainWindow {
public:
    virtual ~MainWindow() = default;

    virtual std::wstring text(Control control) const = 0;
    virtual void setText(Control control, const std::wstring& text) = 0;
    virtual bool enabled(Control control) const = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;

    // Check boxes: 0 unchecked, 1 checked. Setting the value raises nothing;
    // SetCheckBox below adds the click rule on top.
    virtual int checkValue(Control control) const = 0;
    virtual void setCheckValue(Control control, int value) = 0;

    // A text that grows at its top and is cut at its bottom (the message
    // log) is changed in place: an entry costs its own length, not the log's.
    virtual std::size_t textLength(Control control) const = 0;
    virtual void insertTextAtStart(Control control, const std::wstring& text) = 0;
    // Keeps the first `length` characters.
    virtual void truncateText(Control control, std::size_t length) = 0;

    virtual void setSelection(Control control, int start, int length) = 0;
    // Asks for the input focus; ignored while the window is not displayed.
    virtual void setFocus(Control control) = 0;

    // The check-list of saved-data entries.
    virtual int itemCount() const = 0;
    virtual std::wstring itemText(int index) const = 0;
    virtual bool itemChecked(int index) const = 0;
    virtual void setItemChecked(int index, bool checked) = 0;
    virtual void addItem(const std::wstring& text) = 0;
    // Appends checked entries in one batch.
    virtual void addCheckedItems(const std::vector<std::wstring>& texts) = 0;

    virtual bool visible() const = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    // Brings a running window to the user's attention (restore and foreground).
    virtual void bringToFront() = 0;
    virtual WindowState state() const = 0;
    virtual void setState(WindowState state) = 0;

    virtual bool timerEnabled(Timer timer) const = 0;
    virtual void setTimerEnabled(Timer timer, bool enabled) = 0;
};

// The window's events, raised by the MainWindow implementation into Form1.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    virtual void onLoad() = 0;
    virtual void onResize() = 0;
    virtual void onCloseRequest(bool& cancel) = 0;
    virtual void onClick(Control control) = 0;
    virtual void onGotFocus(Control control) = 0;
    // A text box's text changed, typed or set from code (as Windows reports it).
    virtual void onChange(Control control) = 0;
    virtual void onTimer(Timer timer) = 0;
};

// Sets a check box from code; a different value raises its click handler
// exactly as a user's click does (the platform's rule for check boxes).
inline void SetCheckBox(MainWindow& window, FormEvents& events, Control box, int value) {
    if (window.checkValue(box) == value) return;
    window.setCheckValue(box, value);
    events.onClick(box);
}

}  // namespace hb
