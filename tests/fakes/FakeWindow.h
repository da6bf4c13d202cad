#pragma once
// The main window in memory. Like the real one, it raises the resize event
// when its state changes and a click after a check box changes by a click().

#include <map>
#include <string>
#include <vector>

#include "ports/MainWindow.h"

namespace hb::test {

class FakeWindow : public MainWindow {
public:
    struct Item {
        std::wstring text;
        bool checked = false;
    };

    FakeWindow();
    void connect(FormEvents* events) { events_ = events; }

    std::wstring text(Control control) const override;
    void setText(Control control, const std::wstring& text) override;
    bool enabled(Control control) const override;
    void setEnabled(Control control, bool enabled) override;
    int checkValue(Control control) const override;
    void setCheckValue(Control control, int value) override;
    std::size_t textLength(Control control) const override { return text(control).size(); }
    void insertTextAtStart(Control control, const std::wstring& text) override;
    void truncateText(Control control, std::size_t length) override;
    void setSelection(Control control, int start, int length) override;
    void setFocus(Control control) override;
    int itemCount() const override {
        ++listReads;
        return static_cast<int>(items.size());
    }
    std::wstring itemText(int index) const override {
        ++listReads;
        return items.at(index).text;
    }
    bool itemChecked(int index) const override { return items.at(index).checked; }
    void setItemChecked(int index, bool checked) override { items.at(index).checked = checked; }
    void addItem(const std::wstring& text) override { items.push_back({text, false}); }
    void addCheckedItems(const std::vector<std::wstring>& texts) override {
        ++batchesAdded;
        for (const std::wstring& text : texts) items.push_back({text, true});
    }
    bool visible() const override { return visible_; }
    void show() override { visible_ = true; }
    void hide() override { visible_ = false; }
    void bringToFront() override;
    WindowState state() const override { return state_; }
    void setState(WindowState state) override;
    bool timerEnabled(Timer timer) const override;
    void setTimerEnabled(Timer timer, bool enabled) override;

    // A user's click on a check box: toggles it, then raises the click.
    void userClick(Control control);

    std::vector<Item> items;
    std::map<Control, std::wstring> texts;
    std::map<Control, bool> enabledStates;
    std::map<Control, int> checkValues;
    std::map<Control, std::pair<int, int>> selections;  // start, length
    std::vector<Control> focusRequests;
    std::map<Timer, bool> timers;
    int bringToFrontCount = 0;
    // Calls that read the check-list's count or texts: each one is a window
    // message on Windows.
    mutable long long listReads = 0;
    // Batches of entries the check-list was given at once.
    int batchesAdded = 0;

private:
    FormEvents* events_ = nullptr;
    bool visible_ = false;
    WindowState state_ = WindowState::Normal;
};

}  // namespace hb::test
