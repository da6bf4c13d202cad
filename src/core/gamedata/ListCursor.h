#pragma once
// The round robin over the listed entries. CurrentIndex is the entry
// handled last: the login sends the next checked entry after it
// (GetNextListIndexnoupload), and the change watcher, which sets it to each
// entry it sends, starts each tick's look at the files after it, so changes
// seen together go in the round robin's order.

#include <cstdint>
#include <optional>
#include <vector>

#include "gamedata/EntryList.h"

namespace hb {

class ListCursor {
public:
    explicit ListCursor(const EntryList& entries) : entries_(entries) {}

    // Start-up readies the watcher: before the first entry.
    void restart() { CurrentIndex = -1; }
    // GetNextListIndexnoupload: moves to the next checked entry, wrapping
    // round; stays put when none is checked. Returns the entry it is at:
    // nothing while it is before the first entry (or where no entry is).
    std::optional<Entry> next();
    // The entry it is at, as next returns it.
    std::optional<Entry> current() const { return entries_.at(CurrentIndex); }
    // The watcher handled this entry.
    void handled(Entry entry) { CurrentIndex = static_cast<std::int16_t>(entry.place()); }
    // Every entry, from the one after CurrentIndex round to CurrentIndex.
    std::vector<Entry> fromNext() const;

private:
    const EntryList& entries_;
    // A 16-bit number: the scan lists no more entries than it can name.
    // 0, not -1, until start-up readies the watcher, so a login from
    // remembered settings starts after the first entry, as it always did.
    std::int16_t CurrentIndex = 0;
};

}  // namespace hb
