#pragma once
// The listed entry texts, for a duplicate test whose cost does not grow
// with the list: a set of their upper-cased texts.

#include <string>
#include <string_view>
#include <unordered_set>

namespace hb {

class ListedEntries {
public:
    void add(std::wstring_view text);
    // Whether an entry with this text was added, compared without case.
    bool contains(std::wstring_view text) const;

private:
    std::unordered_set<std::wstring> upperCased_;
};

}  // namespace hb
