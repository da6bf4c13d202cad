#include "updater/CheckPace.h"

#include <algorithm>

namespace hb {

CheckPace::CheckPace(const Process& clock, FailureReport report)
    : clock_(clock), periodic_(report == FailureReport::LogOnly),
      deadline_(clock.monotonicMs() + (periodic_ ? kPeriodicCheckBudgetMs : kStartupCheckBudgetMs)) {}

std::int64_t CheckPace::timeLeftMs() const {
    const std::int64_t left = std::max<std::int64_t>(deadline_ - clock_.monotonicMs(), 0);
    if (periodic_) return left == 0 ? 0 : kTransferTotalMs;
    return left;
}

FailureReport CheckPace::nextReport() const {
    return periodic_ || failureBoxed_ ? FailureReport::LogOnly : FailureReport::Box;
}

void CheckPace::failed(FailureReport asked) {
    if (asked == FailureReport::Box) failureBoxed_ = true;
}

}  // namespace hb
