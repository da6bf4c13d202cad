#include "win32/ComInit.h"

#include <objbase.h>

namespace hb::win32 {

ComInit::ComInit() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}

ComInit::~ComInit() {
    // S_FALSE (already started on this thread) also takes a reference.
    if (SUCCEEDED(result_)) ::CoUninitialize();
}

}  // namespace hb::win32
