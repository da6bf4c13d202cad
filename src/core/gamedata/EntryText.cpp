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

}  // namespace hb
