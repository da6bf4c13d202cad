#pragma once
// One check's bound in time and the rule for its boxes, shared by its stages.

#include <cstdint>

#include "net/Transfers.h"
#include "ports/Process.h"

namespace hb {

// How long one check may go on starting downloads. The window waits for the
// start-up check, so its downloads end with its budget whatever the server
// does; a periodic check runs behind the game, so a download it started
// runs to its own bounds (nothing moved for a while, or the generous cap),
// and a slow server's large file still arrives. What a check did not get
// to is fetched by the next one; what it installed is kept.
inline constexpr int kStartupCheckBudgetMs = kDownloadDeadlineMs;
inline constexpr int kPeriodicCheckBudgetMs = 120000;

class CheckPace {
public:
    // Box: the start-up check, which the player watches; LogOnly: a
    // periodic one. The budget starts now.
    CheckPace(const Process& clock, FailureReport report);

    bool periodic() const { return periodic_; }
    // How long a download started now may take: at start-up what is left
    // of the budget; later a download's own cap while any budget is left.
    // 0 when the check is out of time.
    std::int64_t timeLeftMs() const;
    // How the next download reports its failure: at start-up the first
    // failure shows its box, the others go to the log and into the summary.
    FailureReport nextReport() const;
    // A download that was to report as asked has failed.
    void failed(FailureReport asked);

private:
    const Process& clock_;
    bool periodic_;
    std::int64_t deadline_;
    bool failureBoxed_ = false;
};

}  // namespace hb
