#pragma once
// The server's "HoardbookFiles": one add-on file name per line.

#include <string>
#include <string_view>
#include <vector>

namespace hb {

// The names in list order: the text split at every CR LF pair, empty pieces
// skipped, every other piece kept verbatim (not trimmed; a lone CR or LF
// stays part of its name).
std::vector<std::wstring> SplitFileList(std::wstring_view text);

}  // namespace hb
