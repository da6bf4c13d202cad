#include "base/Utf8.h"

#include <cstdint>
#include <type_traits>

namespace hb {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

std::uint32_t CodeUnit(wchar_t c) {
    return static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(c));
}

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

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

// The code points of the text: surrogate pairs combined where the pair can
// stand in the text (always for 16-bit wchar_t), lone surrogates passed to
// the caller to keep or replace, values beyond U+10FFFF replaced.
template <typename Emit>
void ForEachCodePoint(std::wstring_view text, bool combineSeparatePairs, Emit emit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t unit = CodeUnit(text[i]);
        if (IsHighSurrogate(unit) && combineSeparatePairs && i + 1 < text.size() &&
            IsLowSurrogate(CodeUnit(text[i + 1]))) {
            emit(0x10000 + ((unit - 0xD800) << 10) + (CodeUnit(text[i + 1]) - 0xDC00));
            ++i;
        } else {
            emit(unit > 0x10FFFF ? kReplacementCharacter : static_cast<char32_t>(unit));
        }
    }
}

void AppendUnit(std::wstring& out, char32_t cp) {
    if (kWideIsUtf16 && cp >= 0x10000) {
        out.push_back(static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
        out.push_back(static_cast<wchar_t>(cp));
    }
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, true, [&](char32_t cp) { Append(out, IsSurrogate(cp) ? kReplacementCharacter : cp); });
    return out;
}

std::string ToUtf8KeepingSurrogates(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    // Where wchar_t holds whole code points, two surrogates in a row are two
    // units of their own and must come back as two.
    ForEachCodePoint(text, kWideIsUtf16, [&](char32_t cp) { Append(out, cp); });
    return out;
}

std::wstring FromUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4                 ? 4
                                                                            : 0;
        char32_t cp = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool wellFormed = length != 0 && i + length <= bytes.size();
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            wellFormed = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        // No overlong forms and nothing beyond U+10FFFF.
        wellFormed = wellFormed && !(length == 3 && cp < 0x800) && !(length == 4 && (cp < 0x10000 || cp > 0x10FFFF));
        if (!wellFormed) {
            out.push_back(static_cast<wchar_t>(kReplacementCharacter));
            ++i;
            continue;
        }
        AppendUnit(out, cp);
        i += length;
    }
    return out;
}

}  // namespace hb
