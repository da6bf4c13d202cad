#include "net/Utf8.h"

#include <cstdint>
#include <type_traits>

namespace hb {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

std::uint32_t CodeUnit(wchar_t c) {
    return static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(c));
}

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void Append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t unit = CodeUnit(text[i]);
        char32_t cp = unit;
        if (IsHighSurrogate(unit)) {
            if (i + 1 < text.size() && IsLowSurrogate(CodeUnit(text[i + 1]))) {
                cp = 0x10000 + ((unit - 0xD800) << 10) + (CodeUnit(text[i + 1]) - 0xDC00);
                ++i;
            } else {
                cp = kReplacementCharacter;
            }
        } else if (IsLowSurrogate(unit) || unit > 0x10FFFF) {
            cp = kReplacementCharacter;
        }
        Append(out, cp);
    }
    return out;
}

}  // namespace hb
