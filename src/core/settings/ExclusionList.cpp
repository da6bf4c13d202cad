#include "settings/ExclusionList.h"

#include <string_view>
#include <unordered_map>

namespace hb {

namespace {

std::wstring_view WithoutSurroundingSpaces(std::wstring_view line) {
    while (!line.empty() && line.front() == L' ') line.remove_prefix(1);
    while (!line.empty() && line.back() == L' ') line.remove_suffix(1);
    return line;
}

}  // namespace

std::vector<bool> ExcludedEntries(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& entries) {
    // Looked up by text: the list may hold thousands of entries.
    std::unordered_multimap<std::wstring_view, std::size_t> byText;
    byText.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) byText.emplace(entries[i], i);

    std::vector<bool> excluded(entries.size(), false);
    auto exclude = [&](std::wstring_view text) {
        auto [first, last] = byText.equal_range(text);
        for (auto it = first; it != last; ++it) excluded[it->second] = true;
        return first != last;
    };
    for (const auto& line : lines) {
        if (!exclude(line)) exclude(WithoutSurroundingSpaces(line));
    }
    return excluded;
}

}  // namespace hb
