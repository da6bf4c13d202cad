#include "win32/HttpAnswer.h"

#include <windows.h>

#include <cstdint>
#include <cwctype>

namespace hb::win32 {

namespace {

std::wstring Lowercase(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result) c = static_cast<wchar_t>(std::towlower(c));
    return result;
}

// UTF-16 in either byte order, which MultiByteToWideChar does not convert.
constexpr UINT kUtf16Le = 1200;
constexpr UINT kUtf16Be = 1201;

// The code page a charset names, or CP_UTF8 for any the program does not know.
UINT CodePageOf(std::wstring_view contentType) {
    const std::wstring type = Lowercase(contentType);
    const std::size_t at = type.find(L"charset=");
    if (at == std::wstring::npos) return CP_UTF8;
    std::wstring charset = type.substr(at + 8);
    const std::size_t end = charset.find_first_of(L"; \t");
    if (end != std::wstring::npos) charset.resize(end);
    if (charset.size() >= 2 && charset.front() == L'"' && charset.back() == L'"')
        charset = charset.substr(1, charset.size() - 2);
    if (charset == L"utf-16" || charset == L"utf-16le") return kUtf16Le;
    if (charset == L"utf-16be") return kUtf16Be;
    if (charset == L"iso-8859-1" || charset == L"latin1" || charset == L"us-ascii") return 1252;
    if (charset.rfind(L"windows-", 0) == 0) {
        const std::wstring number = charset.substr(8);
        if (!number.empty() && number.size() <= 5 && number.find_first_not_of(L"0123456789") == std::wstring::npos)
            return static_cast<UINT>(std::stoul(number));
    }
    return CP_UTF8;
}

std::wstring Utf16(std::string_view bytes, bool bigEndian) {
    std::wstring text(bytes.size() / 2, L'\0');
    const std::size_t low = bigEndian ? 1 : 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i + low]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1 - low]) << 8));
    }
    return text;
}

std::wstring Decoded(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) return {};
    if (codePage == kUtf16Le || codePage == kUtf16Be) return Utf16(bytes, codePage == kUtf16Be);
    // Larger answers are refused long before this; the bound keeps the
    // conversion within int.
    const int size = static_cast<int>(bytes.size());
    int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length == 0 && codePage != CP_UTF8) return Decoded(bytes, CP_UTF8);  // a code page the system lacks
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), length);
    return text;
}

}  // namespace

bool DeclaredLengthExceeds(std::wstring_view value, std::size_t maxBytes) {
    std::uint64_t length = 0;
    bool digits = false;
    for (wchar_t c : value) {
        if (c == L' ' || c == L'\t') continue;
        if (c < L'0' || c > L'9') return false;
        digits = true;
        if (length > maxBytes) return true;
        length = length * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return digits && length > maxBytes;
}

std::optional<std::size_t> DeclaredLength(std::wstring_view value) {
    constexpr std::size_t kLargest = SIZE_MAX / 10 - 1;
    if (DeclaredLengthExceeds(value, kLargest)) return std::nullopt;
    std::size_t length = 0;
    bool digits = false;
    for (wchar_t c : value) {
        if (c == L' ' || c == L'\t') continue;
        if (c < L'0' || c > L'9') return std::nullopt;
        digits = true;
        length = length * 10 + static_cast<std::size_t>(c - L'0');
    }
    return digits ? std::optional<std::size_t>(length) : std::nullopt;
}

std::wstring AnswerText(std::string_view bytes, std::wstring_view contentType) {
    if (bytes.size() > INT32_MAX) return {};
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return Decoded(bytes.substr(3), CP_UTF8);
    if (bytes.substr(0, 2) == "\xFF\xFE") return Decoded(bytes.substr(2), kUtf16Le);
    if (bytes.substr(0, 2) == "\xFE\xFF") return Decoded(bytes.substr(2), kUtf16Be);
    return Decoded(bytes, CodePageOf(contentType));
}

std::wstring HeaderValue(std::wstring_view rawHeaders, std::wstring_view name) {
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    auto trimmed = [](std::wstring_view text) {
        const std::size_t first = text.find_first_not_of(L" \t");
        if (first == std::wstring_view::npos) return std::wstring();
        return std::wstring(text.substr(first, text.find_last_not_of(L" \t") - first + 1));
    };
    while (!rawHeaders.empty()) {
        const std::size_t end = rawHeaders.find(L"\r\n");
        const std::wstring_view line = rawHeaders.substr(0, end);
        rawHeaders = end == std::wstring_view::npos ? std::wstring_view() : rawHeaders.substr(end + 2);
        const std::size_t colon = line.find(L':');
        if (colon != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < colon && same; ++i) same = lower(line[i]) == lower(name[i]);
        if (same) return trimmed(line.substr(colon + 1));
    }
    return {};
}

}  // namespace hb::win32
