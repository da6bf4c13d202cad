#include "base/TextCase.h"

namespace hb {

wchar_t UpperCaseOf(wchar_t c) {
    auto shifted = [c](int by) { return static_cast<wchar_t>(c - by); };
    if (c >= L'a' && c <= L'z') return shifted(0x20);
    if (c < 0xE0) return c;
    if (c <= 0xFE) return c == 0xF7 ? c : shifted(0x20);  // à..þ, not ÷
    if (c == 0xFF) return static_cast<wchar_t>(0x178);      // ÿ
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs capital and small letters; the pairing
        // flips parity between 0x138 and 0x149 and after 0x178.
        bool capitalsOdd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (capitalsOdd) return (c % 2 == 0) ? shifted(1) : c;
        return (c % 2 == 1) ? shifted(1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return shifted(0x20);  // Greek, not final sigma
    if (c >= 0x430 && c <= 0x44F) return shifted(0x20);                 // Cyrillic
    if (c >= 0x450 && c <= 0x45F) return shifted(0x50);
    return c;
}

bool SameWithoutCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && UpperCaseOf(a[i]) != UpperCaseOf(b[i])) return false;
    }
    return true;
}

}  // namespace hb
