#include "gamedata/ScheduledWalks.h"

namespace hb {

namespace {

// Holds only a time: nothing of the system stays open between looks.
class ScheduledWatch : public TreeWatch {
public:
    ScheduledWatch(const Process& clock, std::int64_t intervalMs)
        : clock_(clock), intervalMs_(intervalMs), lastWalkMs_(clock.monotonicMs()) {}

    TreeState poll() override {
        const std::int64_t now = clock_.monotonicMs();
        if (now - lastWalkMs_ < intervalMs_) return TreeState::Unchanged;
        lastWalkMs_ = now;
        return TreeState::Changed;
    }

private:
    const Process& clock_;
    std::int64_t intervalMs_;
    std::int64_t lastWalkMs_;
};

}  // namespace

std::unique_ptr<TreeWatch> ScheduledWalks::watchTree(const std::wstring& folder) {
    (void)folder;
    return std::make_unique<ScheduledWatch>(clock_, intervalMs_);
}

}  // namespace hb
