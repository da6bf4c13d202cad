#pragma once
// The server's "HoardbookFiles": one add-on file name per line.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hb {

// The most names one update fetches. The add-on has a handful of files; a
// list of thousands is a broken server, and fetching them all would hold
// start-up for minutes.
inline constexpr std::size_t kMaxListedFiles = 300;

// The names in list order: the text split at every CR LF pair, empty pieces
// skipped, every other piece kept verbatim (not trimmed; a lone CR or LF
// stays part of its name).
std::vector<std::wstring> SplitFileList(std::wstring_view text);

struct BoundedFileList {
    std::vector<std::wstring> names;  // the first kMaxListedFiles names, as SplitFileList gives them
    std::size_t refused = 0;          // how many names followed them
};

// SplitFileList bounded to kMaxListedFiles names; the rest are only counted.
BoundedFileList SplitBoundedFileList(std::wstring_view text);

}  // namespace hb
