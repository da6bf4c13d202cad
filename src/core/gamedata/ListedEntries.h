#pragma once
// The entry texts the check-list shows, for a duplicate test whose cost
// does not grow with the list: a set of their upper-cased texts. The list
// only ever grows, so keeping in step means folding in the entries added
// since the last look; the list control is asked for nothing else.

#include <string>
#include <string_view>
#include <unordered_set>

#include "ports/MainWindow.h"

namespace hb {

class ListedEntries {
public:
    // Whether the list shows an entry with this text, compared without case.
    bool contains(const MainWindow& window, std::wstring_view text);

private:
    void catchUp(const MainWindow& window);

    std::unordered_set<std::wstring> upperCased_;
    int folded_ = 0;  // entries of the list already in the set
};

}  // namespace hb
