#include "updater/VersionText.h"

namespace hb {

namespace {

bool IsWhiteSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x00A0 ||
           c == 0xFEFF;
}

// C0 and C1 controls, DEL, and the replacement character that stands for
// bytes the download could not decode.
bool IsControlOrUndecodable(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFFFD; }

}  // namespace

std::wstring TrimSpaces(std::wstring_view text) {
    std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    std::size_t last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
}

std::wstring TrimWhiteSpace(std::wstring_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    return std::wstring(text);
}

std::optional<std::wstring> VersionFromTocText(std::wstring_view text) {
    static constexpr std::wstring_view kMarker = L"Version:";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\r', start);
        std::wstring_view line = text.substr(start, end == std::wstring_view::npos ? end : end - start);
        std::size_t at = line.find(kMarker);
        if (at != std::wstring_view::npos) {
            std::wstring_view version = line.substr(at + kMarker.size());
            return TrimWhiteSpace(version.substr(0, version.find(L'\n')));
        }
        if (end == std::wstring_view::npos) break;
        start = end + 1;
        if (start < text.size() && text[start] == L'\n') ++start;
    }
    return std::nullopt;
}

std::wstring ServerVersionFromText(std::wstring_view text) {
    std::wstring trimmed = TrimWhiteSpace(text);
    std::wstring version;
    version.reserve(trimmed.size());
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        if (trimmed[i] == L'\r' && i + 1 < trimmed.size() && trimmed[i + 1] == L'\n') {
            ++i;
            continue;
        }
        version.push_back(trimmed[i]);
    }
    // Removing the pairs can uncover white space at an end (" \r\n x").
    return TrimWhiteSpace(version);
}

std::optional<std::wstring> WhyNotAVersion(std::wstring_view version) {
    if (version.empty()) return L"is empty";
    if (version.size() > kMaxVersionLength) {
        return L"is " + std::to_wstring(version.size()) + L" characters long, too long for a version";
    }
    for (wchar_t c : version) {
        if (IsControlOrUndecodable(c)) return L"holds control characters or undecodable bytes, so it is not a version";
    }
    return std::nullopt;
}

}  // namespace hb
