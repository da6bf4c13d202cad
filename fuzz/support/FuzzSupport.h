#pragma once
// Shared by the fuzz targets: a check that stops the run with the broken
// property's text (libFuzzer then saves the input), and ways to read the
// input bytes as the texts the program sees.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::hb::fuzz::PropertyFailed(#condition, __FILE__, __LINE__))

namespace hb::fuzz {

[[noreturn]] inline void PropertyFailed(const char* property, const char* file, int line) {
    std::fprintf(stderr, "\n%s:%d: property failed: %s\n", file, line, property);
    std::abort();
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// UTF-16 code units as Windows holds text (lone surrogates included), two
// little-endian bytes each; an odd last byte is dropped.
inline std::wstring Utf16Units(std::string_view bytes) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto low = static_cast<unsigned char>(bytes[i]);
        auto high = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<wchar_t>(low | (high << 8)));
    }
    return text;
}

// UTF-8 to UTF-16 code units, so seeds stay readable: characters beyond
// U+FFFF become surrogate pairs; a byte that starts no valid sequence is
// taken as the character of that number.
inline std::wstring Utf16FromUtf8(std::string_view bytes) {
    std::wstring text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        char32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        bool valid = length > 0 && i + length <= bytes.size();
        for (int k = 1; valid && k < length; ++k) {
            auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid) {
            text.push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            text.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            text.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            text.push_back(static_cast<wchar_t>(cp & 0xFFFF));
        }
        i += static_cast<std::size_t>(length);
    }
    return text;
}

// The pieces between separators (a trailing separator gives no empty last piece).
template <typename Char>
std::vector<std::basic_string<Char>> SplitAt(std::basic_string_view<Char> text, Char separator) {
    std::vector<std::basic_string<Char>> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::basic_string_view<Char>::npos) end = text.size();
        pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

}  // namespace hb::fuzz
