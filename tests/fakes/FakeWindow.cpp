#include "fakes/FakeWindow.h"

namespace hb::test {

FakeWindow::FakeWindow() {
    enabledStates[Control::Command3] = false;
    timers[Timer::Timer1] = true;
    timers[Timer::UpdateTimer] = false;
}

std::wstring FakeWindow::text(Control control) const {
    auto found = texts.find(control);
    return found == texts.end() ? std::wstring() : found->second;
}

void FakeWindow::setText(Control control, const std::wstring& text) {
    const bool changed = texts[control] != text;
    texts[control] = text;
    // Windows reports a changed edit box, whoever changed it.
    if (changed && control == Control::URL && events_ != nullptr) events_->onChange(control);
}

void FakeWindow::insertTextAtStart(Control control, const std::wstring& text) {
    texts[control].insert(0, text);
}

void FakeWindow::truncateText(Control control, std::size_t length) {
    std::wstring& text = texts[control];
    if (text.size() > length) text.resize(length);
}

bool FakeWindow::enabled(Control control) const {
    auto found = enabledStates.find(control);
    return found == enabledStates.end() ? true : found->second;
}

void FakeWindow::setEnabled(Control control, bool enabled) { enabledStates[control] = enabled; }

int FakeWindow::checkValue(Control control) const {
    auto found = checkValues.find(control);
    return found == checkValues.end() ? 0 : found->second;
}

void FakeWindow::setCheckValue(Control control, int value) { checkValues[control] = value; }

void FakeWindow::setSelection(Control control, int start, int length) {
    selections[control] = {start, length};
}

void FakeWindow::setFocus(Control control) { focusRequests.push_back(control); }

void FakeWindow::bringToFront() {
    ++bringToFrontCount;
    visible_ = true;
    state_ = WindowState::Normal;
}

void FakeWindow::setState(WindowState state) {
    bool changed = state != state_;
    state_ = state;
    if (changed && events_ != nullptr) events_->onResize();
}

bool FakeWindow::timerEnabled(Timer timer) const {
    auto found = timers.find(timer);
    return found != timers.end() && found->second;
}

void FakeWindow::setTimerEnabled(Timer timer, bool enabled) { timers[timer] = enabled; }

void FakeWindow::userClick(Control control) {
    checkValues[control] = checkValue(control) == 1 ? 0 : 1;
    if (events_ != nullptr) events_->onClick(control);
}

}  // namespace hb::test
