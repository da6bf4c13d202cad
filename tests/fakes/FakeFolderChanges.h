#pragma once
// Change notifications in memory: the test says when a name changed below
// a watched folder, when its watch is lost, or that no watch can be set up
// at all. Each folder has a state of its own, so a change in one tree says
// nothing about another's.

#include <map>
#include <memory>
#include <string>

#include "ports/FolderChanges.h"

namespace hb::test {

class FakeFolderChanges : public FolderChanges {
public:
    std::unique_ptr<TreeWatch> watchTree(const std::wstring& folder) override {
        ++watchesAsked;
        if (refuse) return nullptr;
        watchedFolder = folder;
        // A new watch of a folder replaces its earlier one.
        auto state = std::make_shared<TreeState>(TreeState::Unchanged);
        live_[folder] = state;
        return std::make_unique<Watch>(std::move(state), openWatches_);
    }

    // What the folder's live watch reports at its next look; without a
    // folder, the watch made last.
    void signalChange(const std::wstring& folder) { report(folder, TreeState::Changed); }
    void loseWatch(const std::wstring& folder) { report(folder, TreeState::Lost); }
    void signalChange() { signalChange(watchedFolder); }
    void loseWatch() { loseWatch(watchedFolder); }

    bool refuse = false;  // as on a drive without notifications
    int watchesAsked = 0;
    // Watches alive now (each one a handle on Windows).
    int openWatches() const { return *openWatches_; }
    // Whether the folder has a watch alive now.
    bool watching(const std::wstring& folder) const {
        const auto found = live_.find(folder);
        return found != live_.end() && found->second.use_count() > 1;
    }
    std::wstring watchedFolder;  // the folder of the watch made last

private:
    class Watch : public TreeWatch {
    public:
        Watch(std::shared_ptr<TreeState> state, std::shared_ptr<int> open) : state_(std::move(state)), open_(std::move(open)) {
            ++*open_;
        }
        ~Watch() override { --*open_; }
        TreeState poll() override {
            TreeState state = *state_;
            if (state == TreeState::Changed) *state_ = TreeState::Unchanged;  // re-armed
            return state;
        }

    private:
        std::shared_ptr<TreeState> state_;
        std::shared_ptr<int> open_;
    };

    void report(const std::wstring& folder, TreeState state) {
        const auto found = live_.find(folder);
        if (found != live_.end() && *found->second != TreeState::Lost) *found->second = state;
    }

    std::map<std::wstring, std::shared_ptr<TreeState>> live_;
    std::shared_ptr<int> openWatches_ = std::make_shared<int>(0);
};

}  // namespace hb::test
