#pragma once
// Modal message boxes. show() waits until the user has closed the box.

#include <string>

namespace hb {

enum class BoxButtons { Ok, YesNo };
enum class BoxIcon { None, Stop, Question, Exclamation };
enum class BoxAnswer { Ok, Yes, No };

struct MessageBoxRequest {
    std::wstring text;
    std::wstring title = L"HoardbookUploader";
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
    int defaultButton = 1;  // 1-based
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual BoxAnswer show(const MessageBoxRequest& request) = 0;
};

}  // namespace hb
