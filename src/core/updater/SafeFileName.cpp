#include "updater/SafeFileName.h"

#include <array>

namespace hb {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) return false;
    }
    return true;
}

// Windows opens a device for these whatever extension follows ("NUL.lua").
bool IsDeviceName(std::wstring_view part) {
    std::wstring_view base = part.substr(0, part.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
    static constexpr std::array<std::wstring_view, 6> kFixed = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$",
                                                                 L"CONOUT$"};
    for (std::wstring_view device : kFixed) {
        if (EqualsIgnoringCase(base, device)) return true;
    }
    auto isPortDigit = [](wchar_t c) { return (c >= L'0' && c <= L'9') || c == 0xB9 || c == 0xB2 || c == 0xB3; };
    if (base.size() == 4 && isPortDigit(base[3]) &&
        (EqualsIgnoringCase(base.substr(0, 3), L"COM") || EqualsIgnoringCase(base.substr(0, 3), L"LPT"))) {
        return true;
    }
    return false;
}

// "NAME~1.EXT": Windows may resolve it to whichever file got that short name.
bool LooksLikeShortAlias(std::wstring_view part) {
    std::size_t tilde = part.find(L'~');
    return tilde != std::wstring_view::npos && tilde + 1 < part.size() && part[tilde + 1] >= L'0' &&
           part[tilde + 1] <= L'9';
}

bool IsSafePart(std::wstring_view part) {
    if (part.find_first_not_of(L". ") == std::wstring_view::npos) return false;  // also the empty part
    if (part.back() == L'.' || part.back() == L' ') return false;
    return !IsDeviceName(part) && !LooksLikeShortAlias(part);
}

}  // namespace

bool IsSafeAddonFileName(std::wstring_view name) {
    if (name.size() > kMaxAddonFileNameLength) return false;
    for (wchar_t c : name) {
        if (c == L':' || c < 0x20 || c == 0x7F) return false;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        if (!IsSafePart(name.substr(start, end - start))) return false;
        if (end == name.size()) return true;
        start = end + 1;
    }
}

}  // namespace hb
