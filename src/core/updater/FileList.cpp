#include "updater/FileList.h"

namespace hb {

namespace {

// Calls take(piece) for every non-empty piece between CR LF pairs, in order.
template <typename Take>
void ForEachListedName(std::wstring_view text, Take take) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L"\r\n", start);
        std::wstring_view piece = text.substr(start, end == std::wstring_view::npos ? end : end - start);
        if (!piece.empty()) take(piece);
        if (end == std::wstring_view::npos) break;
        start = end + 2;
    }
}

}  // namespace

std::vector<std::wstring> SplitFileList(std::wstring_view text) {
    std::vector<std::wstring> names;
    ForEachListedName(text, [&](std::wstring_view piece) { names.emplace_back(piece); });
    return names;
}

BoundedFileList SplitBoundedFileList(std::wstring_view text) {
    BoundedFileList list;
    ForEachListedName(text, [&](std::wstring_view piece) {
        if (list.names.size() < kMaxListedFiles) {
            list.names.emplace_back(piece);
        } else {
            ++list.refused;
        }
    });
    return list;
}

}  // namespace hb
