#include "gamedata/ListCursor.h"

#include "gamedata/RoundRobin.h"

namespace hb {

void ListCursor::restart(int itemCount) {
    CurrentIndex = -1;
    LastModified.assign(static_cast<std::size_t>(itemCount) + 1, 0);
}

void ListCursor::entryAdded(int count) {
    LastModified.resize(static_cast<std::size_t>(count));
    LastModified.back() = 0;
}

std::int16_t ListCursor::next(const MainWindow& list) {
    // The scan keeps the list within the range of CurrentIndex.
    int next = NextCheckedIndex(CurrentIndex, list.itemCount(), [&](int i) { return list.itemChecked(i); });
    CurrentIndex = static_cast<std::int16_t>(next);
    return CurrentIndex;
}

}  // namespace hb
