#pragma once
// When a failing action may be tried again: a first delay that doubles
// with each failure in a row, up to a ceiling, so a failure that lasts
// costs fewer and fewer tries and a short one is over soon.

#include <algorithm>
#include <cstdint>

namespace hb {

class Backoff {
public:
    constexpr Backoff(std::int64_t firstDelayMs, std::int64_t longestDelayMs)
        : firstDelayMs_(firstDelayMs), longestDelayMs_(longestDelayMs) {}

    // Records a failure at nowMs; the next try is due after the streak's
    // delay, or after atLeastMs when that is longer (a server's own
    // Retry-After, bounded by the ceiling). Returns the delay.
    std::int64_t fail(std::int64_t nowMs, std::int64_t atLeastMs = 0) {
        std::int64_t delay = firstDelayMs_;
        for (int i = 0; i < failures_ && delay < longestDelayMs_; ++i) delay *= 2;
        delay = std::min(std::max(delay, atLeastMs), longestDelayMs_);
        ++failures_;
        nextTryMs_ = nowMs + delay;
        return delay;
    }
    // A success ends the streak.
    void reset() {
        failures_ = 0;
        nextTryMs_ = 0;
    }
    // Whether a try may be made now.
    bool due(std::int64_t nowMs) const { return failures_ == 0 || nowMs >= nextTryMs_; }
    // Failures in a row so far (0: none, the streak is over or never began).
    int failures() const { return failures_; }

private:
    std::int64_t firstDelayMs_;
    std::int64_t longestDelayMs_;
    int failures_ = 0;
    std::int64_t nextTryMs_ = 0;
};

}  // namespace hb
