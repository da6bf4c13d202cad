#pragma once
// Whether the watcher's tick must walk the account tree again. Under Wine
// every folder entry of a walk costs a round trip to the wineserver, and a
// tree of 20 accounts holds thousands, so the tick walks only when a change
// notification said that a name below the account folder changed since
// the last walk. Where there is no notification to trust (none can be set
// up, it failed or overflowed, or the walk reached places it does not
// cover), every tick walks, as without notifications.

#include <memory>
#include <string>

#include "ports/FolderChanges.h"

namespace hb {

class WalkSchedule {
public:
    // Without a change-notification port every tick walks.
    explicit WalkSchedule(FolderChanges* changes) : changes_(changes) {}

    // Whether the walk of root is due. Call right before walking: a watch
    // started here covers everything after it, so the walk that follows
    // sees whatever happened before.
    bool walkDue(const std::wstring& root);

    // After each walk: whether the watch covers all it walked. A walk that
    // followed a folder link (whose target lies outside the watched tree)
    // or met a folder it could not read (whose becoming readable signals
    // nothing) must be repeated at every tick.
    void walked(bool coveredByWatch) { coveredByWatch_ = coveredByWatch; }

    // Ends the watch (Log Out): nothing stays open while nothing is sent.
    // The next walkDue starts a new one and walks.
    void stop() { watch_.reset(); }

private:
    FolderChanges* changes_;
    std::unique_ptr<TreeWatch> watch_;
    std::wstring root_;
    bool coveredByWatch_ = false;
};

}  // namespace hb
