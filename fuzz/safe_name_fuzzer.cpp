// File names from the update server, joined to the add-on folder: a name
// taken as safe must leave the file it opens inside that folder, measured
// against a model of how Windows resolves a path.
// Input: UTF-8 text, one name.

#include "support/FuzzSupport.h"
#include "support/WindowsPaths.h"
#include "updater/AddonPaths.h"
#include "updater/SafeFileName.h"

using namespace hb;

namespace {

// The longest path Windows opens without special prefixes; a longer name
// from the server cannot be a file of the add-on.
constexpr std::size_t kMaxPath = 260;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring name = fuzz::Utf16FromUtf8(fuzz::Bytes(data, size));
    if (!IsSafeAddonFileName(name)) return 0;

    const auto parts = fuzz::PartsBelowFolder(name);
    FUZZ_CHECK(parts.has_value());
    for (wchar_t c : name) FUZZ_CHECK(c >= 0x20 && c != 0x7F);
    // Every part counts: nothing of the name is dropped on the way.
    std::size_t separators = 0;
    for (wchar_t c : name) separators += fuzz::IsPathSeparator(c) ? 1 : 0;
    FUZZ_CHECK(parts->size() == separators + 1);

    FUZZ_CHECK(name.size() <= kMaxPath);
    // A name Windows may write as the version file is the version file.
    if (fuzz::OpensVersionFile(name)) FUZZ_CHECK(IsVersionFileName(name));
    return 0;
}
