#include "updater/FileList.h"

namespace hb {

std::vector<std::wstring> SplitFileList(std::wstring_view text) {
    std::vector<std::wstring> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L"\r\n", start);
        std::wstring_view piece = text.substr(start, end == std::wstring_view::npos ? end : end - start);
        if (!piece.empty()) names.emplace_back(piece);
        if (end == std::wstring_view::npos) break;
        start = end + 2;
    }
    return names;
}

}  // namespace hb
