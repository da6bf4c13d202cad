#include "updater/VersionText.h"

namespace hb {

std::wstring TrimSpaces(std::wstring_view text) {
    std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    std::size_t last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
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
            return TrimSpaces(version.substr(0, version.find(L'\n')));
        }
        if (end == std::wstring_view::npos) break;
        start = end + 1;
        if (start < text.size() && text[start] == L'\n') ++start;
    }
    return std::nullopt;
}

std::wstring ServerVersionFromText(std::wstring_view text) {
    std::wstring trimmed = TrimSpaces(text);
    std::wstring version;
    version.reserve(trimmed.size());
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        if (trimmed[i] == L'\r' && i + 1 < trimmed.size() && trimmed[i + 1] == L'\n') {
            ++i;
            continue;
        }
        version.push_back(trimmed[i]);
    }
    return version;
}

}  // namespace hb
