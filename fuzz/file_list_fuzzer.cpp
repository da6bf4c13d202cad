// The server's list of add-on files, measured against a plain model of its
// format: names between CR LF pairs, empty ones skipped, nothing trimmed.
// Input: UTF-8 text.

#include <algorithm>

#include "support/FuzzSupport.h"
#include "updater/FileList.h"

using namespace hb;

namespace {

constexpr std::size_t kFewHundred = 500;

std::vector<std::wstring> Model(std::wstring_view text) {
    std::vector<std::wstring> names;
    std::wstring name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            if (!name.empty()) names.push_back(name);
            name.clear();
            ++i;
        } else {
            name.push_back(text[i]);
        }
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Utf16FromUtf8(fuzz::Bytes(data, size));
    const std::vector<std::wstring> names = SplitFileList(text);
    const std::vector<std::wstring> model = Model(text);
    FUZZ_CHECK(names == model);

    // A broken server's list of thousands is cut to its first few hundred
    // names; the rest are counted, not dropped silently.
    const BoundedFileList bounded = SplitBoundedFileList(text);
    FUZZ_CHECK(bounded.names.size() <= kFewHundred);
    FUZZ_CHECK(bounded.names.size() + bounded.refused == model.size());
    FUZZ_CHECK(std::equal(bounded.names.begin(), bounded.names.end(), model.begin()));
    if (model.size() <= 100) FUZZ_CHECK(bounded.refused == 0);
    return 0;
}
