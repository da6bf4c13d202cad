#pragma once
// Whether the program runs under Wine rather than on Windows.

namespace hb::win32 {

// Wine's ntdll exports wine_get_version; Windows' does not.
bool RunningUnderWine();

}  // namespace hb::win32
