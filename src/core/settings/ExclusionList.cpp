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

// Calls named(line index, entry index) for every entry each line names.
template <typename Named>
void ForEachNamedEntry(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& entries,
                       Named named) {
    // Looked up by text: the list may hold thousands of entries.
    std::unordered_multimap<std::wstring_view, std::size_t> byText;
    byText.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) byText.emplace(entries[i], i);

    auto name = [&](std::size_t line, std::wstring_view text) {
        auto [first, last] = byText.equal_range(text);
        for (auto it = first; it != last; ++it) named(line, it->second);
        return first != last;
    };
    for (std::size_t line = 0; line < lines.size(); ++line) {
        if (!name(line, lines[line])) name(line, WithoutSurroundingSpaces(lines[line]));
    }
}

}  // namespace

std::vector<bool> ExcludedEntries(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& entries) {
    std::vector<bool> excluded(entries.size(), false);
    ForEachNamedEntry(lines, entries, [&](std::size_t, std::size_t entry) { excluded[entry] = true; });
    return excluded;
}

std::vector<std::wstring> UpdatedExclusionLines(const std::vector<std::wstring>& lines,
                                                const std::vector<std::wstring>& entries,
                                                const std::vector<bool>& checked) {
    std::vector<std::vector<std::size_t>> namedBy(lines.size());
    ForEachNamedEntry(lines, entries,
                      [&](std::size_t line, std::size_t entry) { namedBy[line].push_back(entry); });

    std::vector<std::wstring> updated;
    std::vector<bool> written(entries.size(), false);
    auto writeEntry = [&](std::size_t entry) {
        if (checked[entry] || written[entry]) return;
        written[entry] = true;
        updated.push_back(entries[entry]);
    };
    for (std::size_t line = 0; line < lines.size(); ++line) {
        if (namedBy[line].empty()) {
            // An empty line can never name an entry; blanks alone can (a
            // folder may be called " " where the file system allows it).
            if (!lines[line].empty()) updated.push_back(lines[line]);
        } else {
            for (std::size_t entry : namedBy[line]) writeEntry(entry);
        }
    }
    for (std::size_t entry = 0; entry < entries.size(); ++entry) writeEntry(entry);
    return updated;
}

}  // namespace hb
