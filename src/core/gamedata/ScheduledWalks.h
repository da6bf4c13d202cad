#pragma once
// Change "notifications" that hold nothing open: the tree counts as changed
// once every interval, so the character scan walks at most that often. On
// Windows a directory handle held for a real notification keeps the player
// from renaming WTF, the account folder or the game folder ("Folder In
// Use"); known entries need no walk (the watcher looks at their files at
// every tick), only new character folders wait for the next walk.

#include <cstdint>
#include <memory>
#include <string>

#include "ports/FolderChanges.h"
#include "ports/Process.h"

namespace hb {

// How often a tree without real notifications is walked for new folders.
inline constexpr std::int64_t kScheduledWalkIntervalMs = 60 * 1000;

class ScheduledWalks : public FolderChanges {
public:
    explicit ScheduledWalks(const Process& clock, std::int64_t intervalMs = kScheduledWalkIntervalMs)
        : clock_(clock), intervalMs_(intervalMs) {}

    std::unique_ptr<TreeWatch> watchTree(const std::wstring& folder) override;

private:
    const Process& clock_;
    std::int64_t intervalMs_;
};

}  // namespace hb
