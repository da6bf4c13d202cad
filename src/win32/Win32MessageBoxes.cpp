#include "win32/Win32MessageBoxes.h"

namespace hb::win32 {

UINT MessageBoxStyle(const MessageBoxRequest& request, bool ownerShown) {
    UINT style = request.buttons == BoxButtons::YesNo ? MB_YESNO : MB_OK;
    switch (request.icon) {
        case BoxIcon::Stop: style |= MB_ICONHAND; break;
        case BoxIcon::Question: style |= MB_ICONQUESTION; break;
        case BoxIcon::Exclamation: style |= MB_ICONEXCLAMATION; break;
        case BoxIcon::None: break;
    }
    switch (request.defaultButton) {
        case 2: style |= MB_DEFBUTTON2; break;
        case 3: style |= MB_DEFBUTTON3; break;
        default: style |= MB_DEFBUTTON1; break;
    }
    style |= ownerShown ? MB_APPLMODAL : MB_TASKMODAL;
    return style;
}

BoxAnswer AnswerOf(int result) {
    switch (result) {
        case IDYES: return BoxAnswer::Yes;
        case IDNO: return BoxAnswer::No;
        default: return BoxAnswer::Ok;
    }
}

BoxAnswer Win32MessageBoxes::show(const MessageBoxRequest& request) {
    HWND owner = owner_ ? owner_() : nullptr;
    bool ownerShown = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner);
    int result = ::MessageBoxW(ownerShown ? owner : nullptr, request.text.c_str(), request.title.c_str(),
                               MessageBoxStyle(request, ownerShown));
    return AnswerOf(result);
}

}  // namespace hb::win32
