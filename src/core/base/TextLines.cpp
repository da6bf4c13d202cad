#include "base/TextLines.h"

namespace hb {

std::vector<std::string_view> SplitTextLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return lines;
}

std::string JoinTextLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) bytes.append(line).append("\r\n");
    return bytes;
}

}  // namespace hb
