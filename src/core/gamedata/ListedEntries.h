#pragma once
// The entry texts the check-list shows, for a duplicate test whose cost
// does not grow with the list: a set of their upper-cased texts. The list
// only ever grows, so keeping in step means folding in the entries added
// since the last look; the list control is asked for nothing else. Entries
// found by a walk wait here and go to the list in one batch.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "ports/MainWindow.h"

namespace hb {

class ListedEntries {
public:
    // Whether the list shows an entry with this text, compared without case.
    // An entry waiting to be listed counts as shown.
    bool contains(const MainWindow& window, std::wstring_view text);
    // An entry to list with the next batch.
    void addPending(std::wstring text);
    std::size_t pendingCount() const { return pending_.size(); }
    // Appends the waiting entries, checked, in one batch; how many.
    int listPending(MainWindow& window);

private:
    void catchUp(const MainWindow& window);

    std::unordered_set<std::wstring> upperCased_;
    std::vector<std::wstring> pending_;
    int folded_ = 0;  // entries of the list already in the set
};

}  // namespace hb
