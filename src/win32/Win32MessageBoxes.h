#pragma once
// Message boxes through MessageBoxW, owned by the main window while it is
// on screen.

#include <windows.h>

#include <functional>

#include "ports/MessageBoxes.h"

namespace hb::win32 {

// MessageBoxW's style for a request. A hidden owner would leave the box
// without a task-bar button, easy to lose behind other windows; then the
// box has no owner and is modal to the whole thread instead.
UINT MessageBoxStyle(const MessageBoxRequest& request, bool ownerShown);

BoxAnswer AnswerOf(int result);

class Win32MessageBoxes : public MessageBoxes {
public:
    explicit Win32MessageBoxes(std::function<HWND()> owner) : owner_(std::move(owner)) {}
    BoxAnswer show(const MessageBoxRequest& request) override;

private:
    std::function<HWND()> owner_;
};

}  // namespace hb::win32
