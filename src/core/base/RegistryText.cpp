#include "base/RegistryText.h"

namespace hb {

namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;
constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void PutUnit(std::vector<std::uint8_t>& bytes, char32_t unit) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
}

}  // namespace

std::vector<std::uint8_t> ToUtf16LeBytes(std::wstring_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t c : text) {
        auto point = static_cast<char32_t>(c);
        if (!kWideIsUtf16 && point > 0xFFFF && point <= 0x10FFFF) {
            point -= 0x10000;
            PutUnit(bytes, 0xD800 + (point >> 10));
            PutUnit(bytes, 0xDC00 + (point & 0x3FF));
        } else {
            PutUnit(bytes, !kWideIsUtf16 && point > 0x10FFFF ? kReplacement : point);
        }
    }
    return bytes;
}

std::wstring FromUtf16LeBytes(const std::uint8_t* bytes, std::size_t size) {
    std::wstring text;
    const std::size_t units = size / 2;
    text.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        char32_t unit = bytes[2 * i] | (static_cast<char32_t>(bytes[2 * i + 1]) << 8);
        if (kWideIsUtf16) {
            text.push_back(static_cast<wchar_t>(unit));
            continue;
        }
        if (IsHighSurrogate(unit) && i + 1 < units) {
            char32_t next = bytes[2 * i + 2] | (static_cast<char32_t>(bytes[2 * i + 3]) << 8);
            if (IsLowSurrogate(next)) {
                text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00)));
                ++i;
                continue;
            }
        }
        text.push_back(static_cast<wchar_t>(IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacement : unit));
    }
    return text;
}

}  // namespace hb
