#pragma once
// A model of how Windows resolves a relative name joined to a folder, for
// properties about names that come from the network.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hb::fuzz {

inline bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

inline std::wstring AsciiUpper(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return upper;
}

// Windows drops trailing dots and blanks from a path's parts.
inline std::wstring_view WithoutTrailingDotsAndBlanks(std::wstring_view part) {
    while (!part.empty() && (part.back() == L'.' || part.back() == L' ')) part.remove_suffix(1);
    return part;
}

// A part Windows opens as a device: the name before the first dot, blanks
// at its end ignored, is a DOS device name.
inline bool OpensDevice(std::wstring_view part) {
    std::wstring_view base = part.substr(0, part.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
    const std::wstring upper = AsciiUpper(base);
    static constexpr std::array<std::wstring_view, 6> kDevices = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$",
                                                                   L"CONOUT$"};
    for (std::wstring_view device : kDevices) {
        if (upper == device) return true;
    }
    if (upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT"))) {
        const wchar_t digit = upper[3];
        return (digit >= L'0' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

// The parts of the path a relative name opens below the folder it is
// joined to, as Windows stores them; nothing when it opens something else
// (the folder itself or above it, another drive or share, a device, a
// stream of a file).
inline std::optional<std::vector<std::wstring>> PartsBelowFolder(std::wstring_view name) {
    if (name.empty() || IsPathSeparator(name.front())) return std::nullopt;  // rooted or UNC
    if (name.find(L':') != std::wstring_view::npos) return std::nullopt;  // drive or stream
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsPathSeparator(name[end])) ++end;
        const std::wstring_view part = name.substr(start, end - start);
        const std::wstring_view stored = WithoutTrailingDotsAndBlanks(part);
        if (part == L"..") {
            if (parts.empty()) return std::nullopt;
            parts.pop_back();
        } else if (part == L"." || part.empty()) {
            // no part of the path
        } else if (stored.empty() || OpensDevice(part)) {
            return std::nullopt;
        } else {
            parts.emplace_back(stored);
        }
        start = end + 1;
    }
    if (parts.empty()) return std::nullopt;
    return parts;
}

// Whether Windows may open the add-on's version file for this name: the
// name itself in any case, or a short 8.3 alias of it ("HOARDB~1.TOC",
// "HO1A2B~1.TOC": a "~" and a digit before a ".TOC" extension).
inline bool OpensVersionFile(std::wstring_view name) {
    const auto parts = PartsBelowFolder(name);
    if (!parts || parts->size() != 1) return false;
    const std::wstring upper = AsciiUpper(parts->front());
    if (upper == L"HOARDBOOK.TOC") return true;
    const std::size_t tilde = upper.find(L'~');
    return upper.ends_with(L".TOC") && tilde != std::wstring::npos && tilde + 1 < upper.size() &&
           upper[tilde + 1] >= L'0' && upper[tilde + 1] <= L'9';
}

}  // namespace hb::fuzz
