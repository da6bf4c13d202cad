#pragma once
// The main window's fonts at one DPI: recreated when the DPI changes.

#include <windows.h>

#include <array>

#include "win32/Handles.h"
#include "win32/Win32MainWindowLayout.h"

namespace hb::win32 {

class DpiFonts {
public:
    void create(UINT dpi);
    HFONT get(FontKind kind) const { return fonts_[static_cast<std::size_t>(kind)].get(); }

private:
    std::array<UniqueFont, 4> fonts_;
};

// The typeface for ordinary controls: the TrueType Microsoft Sans Serif
// where installed (it scales cleanly at high DPI), else MS Sans Serif.
const wchar_t* DialogFace();

}  // namespace hb::win32
