#include "win32/Win32AppIcon.h"

#include "win32/ResourceIds.h"

namespace hb::win32 {

AppIcon::AppIcon(HINSTANCE instance, int size) {
    // Picks the image of the asked size from the resource (no LR_SHARED, so
    // this object owns the handle and destroys it).
    owned_.reset(static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(HB_IDI_APP), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    icon_ = owned_ ? owned_.get() : ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512) /* IDI_APPLICATION */);
}

}  // namespace hb::win32
