#include "gamedata/LineEnds.h"

#include <cstring>

namespace hb {

namespace {

// Whether some CR is not followed by LF.
bool HasLoneCr(std::string_view bytes) {
    for (std::size_t cr = bytes.find('\r'); cr != std::string_view::npos; cr = bytes.find('\r', cr + 1)) {
        if (cr + 1 == bytes.size() || bytes[cr + 1] != '\n') return true;
    }
    return false;
}

const char* FindCr(const char* from, const char* end) {
    return static_cast<const char*>(std::memchr(from, '\r', static_cast<std::size_t>(end - from)));
}

// Whether the text ends with CR LF.
bool EndsWithCrLf(std::string_view bytes) {
    return bytes.size() >= 2 && bytes[bytes.size() - 2] == '\r' && bytes.back() == '\n';
}

// Whether the last line is ended, by CR LF or by a lone CR.
bool EndsWithLineEnd(std::string_view bytes) { return bytes.empty() || bytes.back() == '\r' || EndsWithCrLf(bytes); }

}  // namespace

std::string WithCrLfLineEnds(std::string bytes) {
    // Files with CR LF or LF line ends (the usual ones) need at most a line
    // end at the end, added in place: no copy of a large file.
    if (!HasLoneCr(bytes)) {
        if (!bytes.empty() && !EndsWithCrLf(bytes)) bytes += "\r\n";
        return bytes;
    }
    // Lone CRs each grow by one byte: size the result once, then copy the
    // runs between CRs.
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t growth = EndsWithLineEnd(bytes) ? 0 : 2;
    for (const char* cr = FindCr(data, data + size); cr != nullptr; cr = FindCr(cr + 1, data + size)) {
        if (cr + 1 == data + size || cr[1] != '\n') ++growth;
    }
    std::string text(size + growth, '\0');
    char* out = text.data();
    const char* start = data;
    const char* end = data + size;
    for (const char* cr = FindCr(start, end); cr != nullptr; cr = FindCr(start, end)) {
        std::memcpy(out, start, static_cast<std::size_t>(cr - start));
        out += cr - start;
        *out++ = '\r';
        *out++ = '\n';
        start = (cr + 1 != end && cr[1] == '\n') ? cr + 2 : cr + 1;
    }
    if (start != end) {
        // The last line has no line end of its own.
        std::memcpy(out, start, static_cast<std::size_t>(end - start));
        out += end - start;
        *out++ = '\r';
        *out++ = '\n';
    }
    return text;
}

}  // namespace hb
