#include "gamedata/LineEnds.h"

namespace hb {

namespace {

// Whether some CR is not followed by LF.
bool HasLoneCr(std::string_view bytes) {
    for (std::size_t cr = bytes.find('\r'); cr != std::string_view::npos; cr = bytes.find('\r', cr + 1)) {
        if (cr + 1 == bytes.size() || bytes[cr + 1] != '\n') return true;
    }
    return false;
}

bool EndsWithCrLf(std::string_view bytes) {
    return bytes.size() >= 2 && bytes[bytes.size() - 2] == '\r' && bytes.back() == '\n';
}

}  // namespace

std::string WithCrLfLineEnds(std::string bytes) {
    // Files with CR LF or LF line ends (the usual ones) need at most a line
    // end at the end, added in place: no copy of a large file.
    if (!HasLoneCr(bytes)) {
        if (!bytes.empty() && !EndsWithCrLf(bytes)) bytes += "\r\n";
        return bytes;
    }
    std::string_view input(bytes);
    std::string text;
    text.reserve(input.size() + input.size() / 16 + 2);
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t cr = input.find('\r', start);
        if (cr == std::string_view::npos) {
            // The last line has no line end of its own.
            text.append(input.substr(start)).append("\r\n");
            break;
        }
        text.append(input.substr(start, cr - start)).append("\r\n");
        start = cr + 1;
        if (start < input.size() && input[start] == '\n') ++start;
    }
    return text;
}

std::vector<std::string_view> TextLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t cr = bytes.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, cr - start));
        start = cr + 1;
        if (start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return lines;
}

}  // namespace hb
