#pragma once
// The window's events for a subsystem built alone: a click (a user's, or
// one a check box set from code raises) goes to the handler a test names,
// as the form routes it; every other event is dropped.

#include <functional>
#include <map>

#include "ports/MainWindow.h"

namespace hb::test {

class ClickEvents : public FormEvents {
public:
    ClickEvents& route(Control control, std::function<void()> handler) {
        handlers_[control] = std::move(handler);
        return *this;
    }

    void onClick(Control control) override {
        auto found = handlers_.find(control);
        if (found != handlers_.end()) found->second();
    }
    void onLoad() override {}
    void onResize() override {}
    void onCloseRequest(bool&) override {}
    void onGotFocus(Control) override {}
    void onChange(Control) override {}
    void onTimer(Timer) override {}

private:
    std::map<Control, std::function<void()>> handlers_;
};

}  // namespace hb::test
