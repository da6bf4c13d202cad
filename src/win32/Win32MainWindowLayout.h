#pragma once
// The main window's controls: class, text, place in twips and style, in
// the order they are created. Creation order is the Z-order, and so the tab
// order: the focusable controls follow their tab indexes (the log first),
// and each label stands directly before the control it names, which is how
// screen readers find a control's name.

#include <windows.h>

#include <span>

#include "ports/MainWindow.h"
#include "win32/ControlIds.h"

namespace hb::win32 {

enum class FontKind { Dialog, Log, BoldWarning, BoldTitle };

struct ControlLayout {
    ControlId id;
    const wchar_t* className;
    const wchar_t* text;
    int left, top, width, height;  // twips within the client area
    DWORD style;                   // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    FontKind font;
};

// Client area of the main window and of the hidden tray window, in twips.
inline constexpr int kMainClientWidthTwips = 5295;
inline constexpr int kMainClientHeightTwips = 6990;
inline constexpr int kTrayClientWidthTwips = 3765;
inline constexpr int kTrayClientHeightTwips = 2565;

inline constexpr wchar_t kMainCaption[] = L"Hoardbook Profile Uploader";
inline constexpr wchar_t kTrayCaption[] = L"HoardbookUploader";

std::span<const ControlLayout> MainWindowControls();

// Twips to pixels at the given dots per inch, rounded to the nearest pixel.
int TwipsToPixels(int twips, UINT dpi);

// Where a check box's text starts: the box and the gap after it.
int CheckBoxTextOffset(UINT dpi);

// The window control that stands for a port's control.
ControlId IdOf(Control control);

// Font height in logical units for a size in hundredths of a point.
int FontHeight(int hundredthsOfPoint, UINT dpi);

}  // namespace hb::win32
