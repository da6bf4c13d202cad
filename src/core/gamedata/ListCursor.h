#pragma once
// Where the round robin over the list's checked entries stands, and what
// each entry's file looked like at its last upload. The scan adds entries,
// the login sends the entry the cursor moves to; the change watcher sets it
// to each entry it sends and starts each tick's look at the files after it,
// so changes seen together go in the round robin's order.

#include <cstdint>
#include <vector>

#include "ports/FileSystem.h"
#include "ports/MainWindow.h"

namespace hb {

struct ListCursor {
    // The entry handled last; -1 before the first.
    std::int16_t CurrentIndex = 0;
    // Per entry, the last-write time of its file at its last successful
    // upload; 0 when none was seen yet.
    std::vector<FileTime> LastModified;

    // Start-up's state: before the first entry, no times seen, with one
    // element more than there are entries, as the first scan's callers expect.
    void restart(int itemCount);
    // The scan appended entry count - 1: no time seen for it yet.
    void entryAdded(int count);
    // GetNextListIndexnoupload: moves to the next checked entry, wrapping
    // round; stays put when none is checked. Returns the new position.
    std::int16_t next(const MainWindow& list);
};

}  // namespace hb
