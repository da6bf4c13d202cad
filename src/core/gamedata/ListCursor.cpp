#include "gamedata/ListCursor.h"

#include <algorithm>

#include "gamedata/RoundRobin.h"

namespace hb {

std::optional<Entry> ListCursor::next() {
    const int next = NextCheckedIndex(CurrentIndex, entries_.count(), [&](int i) { return entries_.checked(Entry(i)); });
    CurrentIndex = static_cast<std::int16_t>(next);
    return current();
}

std::vector<Entry> ListCursor::fromNext() const {
    const int count = entries_.count();
    std::vector<Entry> order;
    order.reserve(static_cast<std::size_t>(count));
    const int start = std::max(0, CurrentIndex + 1);
    for (int k = 0; k < count; ++k) order.emplace_back((start + k) % count);
    return order;
}

}  // namespace hb
