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

// A name that Windows writes as the version file is the version file (or
// is refused). Switched on by the change that treats it so.
constexpr bool kCheckVersionFileAliases = false;

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

    if (kCheckVersionFileAliases && fuzz::OpensVersionFile(name)) FUZZ_CHECK(IsVersionFileName(name));
    return 0;
}
