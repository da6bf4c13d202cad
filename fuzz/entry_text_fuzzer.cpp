// Entry texts: from a saved-data folder to the list's text and back to the
// file's path, and the comparison without case that keeps entries apart.
//
// Input: UTF-8 lines: the install folder, then the entry's folder names
// below the account folder (the character's path).

#include "gamedata/EntryText.h"
#include "support/FuzzSupport.h"

using namespace hb;

namespace {

constexpr std::wstring_view kSavedVariables = L"SavedVariables";

// What Windows allows in a folder name: no control characters, none of
// \ / : * ? " < > |, and not empty.
bool IsFolderName(std::wstring_view name) {
    if (name.empty()) return false;
    for (wchar_t c : name) {
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    }
    return true;
}

// The registry's install folder is a drive path or a UNC path.
bool IsAbsolute(std::wstring_view folder) {
    bool drive = folder.size() >= 3 && folder[1] == L':' && folder[2] == L'\\';
    return drive || folder.starts_with(L"\\\\");
}

void CheckCaseFolding(std::wstring_view a, std::wstring_view b) {
    FUZZ_CHECK(SameWithoutCase(a, a));
    FUZZ_CHECK(SameWithoutCase(a, b) == SameWithoutCase(b, a));
    for (wchar_t c : a) {
        const wchar_t upper = UpperCaseOf(c);
        FUZZ_CHECK(UpperCaseOf(upper) == upper);
        // Letters outside the Basic Latin block never fold onto it.
        FUZZ_CHECK((c < 0x80) == (upper < 0x80));
    }
    std::wstring lower(a);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    FUZZ_CHECK(SameWithoutCase(a, lower));
    FUZZ_CHECK(IsSavedDataFileName(a) == SameWithoutCase(a, L"Hoardbook.lua"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Utf16FromUtf8(fuzz::Bytes(data, size));
    const std::vector<std::wstring> lines = fuzz::SplitAt<wchar_t>(text, L'\n');
    if (lines.empty()) return 0;

    const std::wstring accountFolder = AccountFolderOf(lines[0]);
    FUZZ_CHECK(accountFolder.starts_with(lines[0]) && accountFolder.ends_with(L"\\WTF\\Account"));

    // Folder names from the input, joined as the scan joins them.
    std::wstring entry;
    bool realistic = IsAbsolute(lines[0]);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (!entry.empty()) entry += L'\\';
        entry += lines[i];
        realistic = realistic && IsFolderName(lines[i]) && !lines[i].starts_with(kSavedVariables);
    }
    const std::wstring folder = accountFolder + L"\\" + entry + L"\\" + std::wstring(kSavedVariables);
    const std::wstring entryText = EntryTextFor(folder, accountFolder);
    if (realistic && lines.size() > 1) {
        // Any folder the game can make maps to its entry and back to its file.
        FUZZ_CHECK(entryText == entry);
        FUZZ_CHECK(SavedDataFileFor(accountFolder, entryText) == folder + L"\\Hoardbook.lua");
    }

    CheckCaseFolding(text, lines.back());
    return 0;
}
