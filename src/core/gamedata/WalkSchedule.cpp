#include "gamedata/WalkSchedule.h"

namespace hb {

bool WalkSchedule::walkDue(const std::wstring& root) {
    if (changes_ == nullptr) return true;
    // The game may have been moved: its new tree is watched afresh.
    if (watch_ && root != root_) watch_.reset();
    if (watch_) {
        switch (watch_->poll()) {
            case TreeState::Unchanged:
                return !coveredByWatch_;
            case TreeState::Changed:
                return true;
            case TreeState::Lost:
                watch_.reset();
                break;
        }
    }
    // No watch (yet, or any more): try to start one, and walk in any case,
    // since nothing tells what happened before it. Under Wine that walk
    // also completes the watch, which takes in a folder when it is opened.
    root_ = root;
    watch_ = changes_->watchTree(root);
    return true;
}

}  // namespace hb
