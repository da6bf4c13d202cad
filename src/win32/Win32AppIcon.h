#pragma once
// The program's icon at one size, from the executable's resources; the
// system's application icon where there is none (the test programs).

#include <windows.h>

#include "win32/Handles.h"

namespace hb::win32 {

class AppIcon {
public:
    AppIcon(HINSTANCE instance, int size);
    HICON get() const { return icon_; }

private:
    UniqueIcon owned_;
    HICON icon_ = nullptr;  // owned_ or a shared system icon
};

}  // namespace hb::win32
