// The login's and password's way to the website: form encoding, then UTF-8.
// Input: UTF-16 code units (two bytes each), lone surrogates included.

#include "base/Utf8.h"
#include "net/EncodeForm.h"
#include "support/FuzzSupport.h"

using namespace hb;

namespace {

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

// How the website decodes a field (PHP's urldecode): "+" is a blank and
// "%" with two hex digits the character of that number.
std::wstring UrlDecode(std::wstring_view text) {
    std::wstring decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'+') {
            decoded.push_back(L' ');
        } else if (text[i] == L'%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            decoded.push_back(static_cast<wchar_t>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

bool IsSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The text with every surrogate that is not half of a pair replaced by U+FFFD.
std::wstring WithLoneSurrogatesReplaced(std::wstring_view text) {
    std::wstring result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            result.push_back(c);
            result.push_back(text[++i]);
        } else {
            result.push_back(IsSurrogate(c) ? wchar_t(0xFFFD) : c);
        }
    }
    return result;
}

// Strict UTF-8: shortest forms only, no surrogates, nothing beyond U+10FFFF.
bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : (lead >> 4) == 0xE ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Utf16Units(fuzz::Bytes(data, size));
    const std::wstring encoded = EncodeForm(text);

    // Nothing that could end the field or the form survives encoding...
    FUZZ_CHECK(encoded.find_first_of(L" \t\r\n&=\"{}[]") == std::wstring::npos);
    // ...and the website gets the text back (a tab arrives as a blank).
    std::wstring expected = text;
    for (wchar_t& c : expected) {
        if (c == L'\t') c = L' ';
    }
    FUZZ_CHECK(UrlDecode(encoded) == expected);

    const std::string utf8 = ToUtf8(encoded);
    FUZZ_CHECK(IsValidUtf8(utf8));
    FUZZ_CHECK(fuzz::Utf16FromUtf8(utf8) == WithLoneSurrogatesReplaced(encoded));
    return 0;
}
