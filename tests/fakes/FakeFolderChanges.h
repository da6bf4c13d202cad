#pragma once
// Change notifications in memory: the test says when a name changed, when
// the watch is lost, or that no watch can be set up at all.

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
        live_ = std::make_shared<TreeState>(TreeState::Unchanged);
        return std::make_unique<Watch>(live_, openWatches_);
    }

    // What the live watch reports at its next look.
    void signalChange() { report(TreeState::Changed); }
    void loseWatch() { report(TreeState::Lost); }

    bool refuse = false;  // as on a drive without notifications
    int watchesAsked = 0;
    // Watches alive now (each one a handle on Windows).
    int openWatches() const { return *openWatches_; }
    std::wstring watchedFolder;

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

    void report(TreeState state) {
        if (live_ && *live_ != TreeState::Lost) *live_ = state;
    }

    std::shared_ptr<TreeState> live_;
    std::shared_ptr<int> openWatches_ = std::make_shared<int>(0);
};

}  // namespace hb::test
