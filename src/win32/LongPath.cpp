#include "win32/LongPath.h"

#include <windows.h>

namespace hb::win32 {

namespace {
// Below this a folder can be created and listed without the prefix
// (CreateDirectory leaves room for an 8.3 file name).
constexpr std::size_t kShortPathLimit = MAX_PATH - 12;
constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
}  // namespace

std::wstring SystemPath(const std::wstring& path) {
    if (path.size() < kShortPathLimit || path.rfind(kExtendedPrefix, 0) == 0) return path;
    DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0) return std::wstring(kExtendedPrefix) + L"UNC\\" + full.substr(2);
    return std::wstring(kExtendedPrefix) + full;
}

}  // namespace hb::win32
