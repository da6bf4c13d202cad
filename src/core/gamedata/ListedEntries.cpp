#include "gamedata/ListedEntries.h"

#include "gamedata/EntryText.h"

namespace hb {

namespace {
// Every letter in upper case, as SameWithoutCase compares.
std::wstring UpperCased(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) c = UpperCaseOf(c);
    return upper;
}
}  // namespace

bool ListedEntries::contains(const MainWindow& window, std::wstring_view text) {
    catchUp(window);
    return upperCased_.contains(UpperCased(text));
}

void ListedEntries::addPending(std::wstring text) {
    upperCased_.insert(UpperCased(text));
    pending_.push_back(std::move(text));
}

int ListedEntries::listPending(MainWindow& window) {
    if (pending_.empty()) return 0;
    catchUp(window);
    window.addCheckedItems(pending_);
    // Their texts are in the set already.
    const int added = static_cast<int>(pending_.size());
    folded_ += added;
    pending_.clear();
    return added;
}

void ListedEntries::catchUp(const MainWindow& window) {
    const int count = window.itemCount();
    if (count < folded_) {
        // Entries are never removed; should a list ever be rebuilt, start over.
        upperCased_.clear();
        folded_ = 0;
    }
    for (; folded_ < count; ++folded_) upperCased_.insert(UpperCased(window.itemText(folded_)));
}

}  // namespace hb
