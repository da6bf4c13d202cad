#include "settings/TextFileFormat.h"

#include <optional>

#include "net/Utf8.h"
#include "settings/TextLines.h"

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

}  // namespace

std::string EncodeTextFile(const std::vector<std::wstring>& lines, const Codepage& codepage) {
    if (auto ansi = AnsiLines(lines, codepage)) {
        std::string bytes = JoinTextLines(*ansi);
        // An ANSI file that happened to start like the mark ("ï»¿" in 1252)
        // would be read as UTF-8.
        if (!bytes.starts_with(kUtf8ByteOrderMark)) return bytes;
    }
    std::vector<std::string> utf8;
    utf8.reserve(lines.size());
    for (const auto& line : lines) utf8.push_back(ToUtf8KeepingSurrogates(line));
    return std::string(kUtf8ByteOrderMark) + JoinTextLines(utf8);
}

std::vector<std::wstring> DecodeTextFile(std::string_view bytes, const Codepage& codepage) {
    const bool utf8 = bytes.starts_with(kUtf8ByteOrderMark);
    if (utf8) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    std::vector<std::wstring> lines;
    for (std::string_view line : SplitTextLines(bytes)) {
        lines.push_back(utf8 ? FromUtf8(line) : codepage.fromAnsi(line));
    }
    return lines;
}

}  // namespace hb
