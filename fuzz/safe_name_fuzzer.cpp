// File names from the update server, joined to the add-on folder: a name
// taken as safe must leave the file it opens inside that folder, measured
// against a model of how Windows resolves a path.
// Input: UTF-8 text, one name.

#include <array>
#include <optional>

#include "support/FuzzSupport.h"
#include "updater/AddonPaths.h"
#include "updater/SafeFileName.h"

using namespace hb;

namespace {

// A name that Windows writes as the version file is the version file (or
// is refused). Switched on by the change that treats it so.
constexpr bool kCheckVersionFileAliases = false;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring AsciiUpper(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return upper;
}

// Windows drops trailing dots and blanks from a path's parts.
std::wstring_view WithoutTrailingDotsAndBlanks(std::wstring_view part) {
    while (!part.empty() && (part.back() == L'.' || part.back() == L' ')) part.remove_suffix(1);
    return part;
}

// A part Windows opens as a device: the name before the first dot, blanks
// at its end ignored, is a DOS device name.
bool OpensDevice(std::wstring_view part) {
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

// The parts of the path the name opens below the add-on folder, or
// nothing when it opens something else (above it, on another drive or
// share, a device or a stream of a file).
std::optional<std::vector<std::wstring>> PartsBelowFolder(std::wstring_view name) {
    if (name.empty() || IsSeparator(name.front())) return std::nullopt;  // rooted or UNC
    if (name.find(L':') != std::wstring_view::npos) return std::nullopt;  // drive or stream
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
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
    if (parts.empty()) return std::nullopt;  // the folder itself
    return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring name = fuzz::Utf16FromUtf8(fuzz::Bytes(data, size));
    if (!IsSafeAddonFileName(name)) return 0;

    const auto parts = PartsBelowFolder(name);
    FUZZ_CHECK(parts.has_value());
    for (wchar_t c : name) FUZZ_CHECK(c >= 0x20 && c != 0x7F);
    // Every part counts: nothing of the name is dropped on the way.
    std::size_t separators = 0;
    for (wchar_t c : name) separators += IsSeparator(c) ? 1 : 0;
    FUZZ_CHECK(parts->size() == separators + 1);

    if (kCheckVersionFileAliases && parts->size() == 1 &&
        AsciiUpper(parts->front()) == AsciiUpper(kVersionFileName)) {
        FUZZ_CHECK(IsVersionFileName(name));
    }
    return 0;
}
