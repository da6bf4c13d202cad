#include "settings/TextFileFormat.h"

#include <optional>

#include "base/TextLines.h"
#include "base/Utf8.h"

namespace hb {

namespace {

// The code page's bytes for the lines, or nothing when one of them does not
// come back unchanged (best fit would turn "Łukasz" into "Lukasz", and any
// character the code page lacks into "?").
std::optional<std::vector<std::string>> AnsiLines(const std::vector<std::wstring>& lines, const Codepage& codepage) {
    std::vector<std::string> ansi;
    ansi.reserve(lines.size());
    for (const auto& line : lines) {
        std::string bytes = codepage.toAnsi(line);
        if (codepage.fromAnsi(bytes) != line) return std::nullopt;
        ansi.push_back(std::move(bytes));
    }
    return ansi;
}

// Whether the bytes are well-formed UTF-8 (no overlong form, no surrogate,
// nothing beyond U+10FFFF) and hold at least one byte beyond ASCII.
bool IsUtf8BeyondAscii(std::string_view bytes) {
    bool beyondAscii = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        beyondAscii = true;
        // The second byte's range depends on the lead (Unicode's table of
        // well-formed byte sequences); the others are 80..BF.
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + length > bytes.size()) return false;
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < low || second > high) return false;
        for (std::size_t k = 2; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if (next < 0x80 || next > 0xBF) return false;
        }
        i += length;
    }
    return beyondAscii;
}

}  // namespace

std::string EncodeTextFile(const std::vector<std::wstring>& lines, const Codepage& codepage) {
    if (auto ansi = AnsiLines(lines, codepage)) {
        std::string bytes = JoinTextLines(*ansi);
        // An ANSI file that happened to start like the mark ("ï»¿" in 1252),
        // or to be well-formed UTF-8 ("Ã©"), would be read as UTF-8.
        if (!bytes.starts_with(kUtf8ByteOrderMark) && !IsUtf8BeyondAscii(bytes)) return bytes;
    }
    std::vector<std::string> utf8;
    utf8.reserve(lines.size());
    for (const auto& line : lines) utf8.push_back(ToUtf8KeepingSurrogates(line));
    return std::string(kUtf8ByteOrderMark) + JoinTextLines(utf8);
}

std::vector<std::wstring> DecodeTextFile(std::string_view bytes, const Codepage& codepage) {
    const bool marked = bytes.starts_with(kUtf8ByteOrderMark);
    if (marked) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    // An editor saves UTF-8 without the mark (Notepad's default today). Text
    // in a code page is almost never well-formed UTF-8 once it holds a
    // letter beyond ASCII, so such a file is taken for UTF-8.
    const bool utf8 = marked || IsUtf8BeyondAscii(bytes);
    std::vector<std::wstring> lines;
    for (std::string_view line : SplitTextLines(bytes)) {
        lines.push_back(utf8 ? FromUtf8(line) : codepage.fromAnsi(line));
    }
    return lines;
}

}  // namespace hb
