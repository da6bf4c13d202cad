#include "gamedata/EntryText.h"

namespace hb {

std::wstring RemoveAll(std::wstring_view text, std::wstring_view pattern) {
    if (pattern.empty()) return std::wstring(text);
    std::wstring result;
    result.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t found = text.find(pattern); found != std::wstring_view::npos;
         found = text.find(pattern, start)) {
        result.append(text.substr(start, found - start));
        start = found + pattern.size();
    }
    result.append(text.substr(start));
    return result;
}

std::wstring AccountFolderOf(std::wstring_view installFolder) {
    std::wstring folder(installFolder);
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder + L"WTF\\Account";
}

std::wstring EntryTextFor(std::wstring_view folder, std::wstring_view accountFolder) {
    std::wstring prefix = std::wstring(accountFolder) + L'\\';
    return RemoveAll(RemoveAll(folder, prefix), L"\\SavedVariables");
}

std::wstring SavedDataFileFor(std::wstring_view accountFolder, std::wstring_view entryText) {
    std::wstring path(accountFolder);
    path += L'\\';
    path += entryText;
    path += L"\\SavedVariables\\";
    path += kSavedDataFileName;
    return path;
}

bool IsSavedDataFileName(std::wstring_view name) {
    constexpr std::wstring_view wanted = L"hoardbook.lua";
    if (name.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        wchar_t c = name[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != wanted[i]) return false;
    }
    return true;
}

wchar_t UpperCaseOf(wchar_t c) {
    auto shifted = [c](int by) { return static_cast<wchar_t>(c - by); };
    if (c >= L'a' && c <= L'z') return shifted(0x20);
    if (c < 0xE0) return c;
    if (c <= 0xFE) return c == 0xF7 ? c : shifted(0x20);  // à..þ, not ÷
    if (c == 0xFF) return static_cast<wchar_t>(0x178);      // ÿ
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs capital and small letters; the pairing
        // flips parity between 0x138 and 0x149 and after 0x178.
        bool capitalsOdd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (capitalsOdd) return (c % 2 == 0) ? shifted(1) : c;
        return (c % 2 == 1) ? shifted(1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return shifted(0x20);  // Greek, not final sigma
    if (c >= 0x430 && c <= 0x44F) return shifted(0x20);                 // Cyrillic
    if (c >= 0x450 && c <= 0x45F) return shifted(0x50);
    return c;
}

bool SameWithoutCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && UpperCaseOf(a[i]) != UpperCaseOf(b[i])) return false;
    }
    return true;
}

}  // namespace hb
