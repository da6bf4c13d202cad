#pragma once
// Waiting for an HTTP object to finish while the window keeps working.

#include <cstdint>
#include <string>

#include "ports/Http.h"
#include "ports/Process.h"

namespace hb {

// How long one pause between two polls may last; window messages end it
// early, so timers and clicks are not delayed by it.
inline constexpr int kHttpPollMs = 10;

// The bounds of one wait. A request fails when nothing moved for idleMs
// (a dead or silent peer), however long it has run, so a slow honest
// transfer is never cut off; totalMs caps the whole wait against a peer
// that trickles without end.
struct WaitBounds {
    int idleMs = 60000;
    std::int64_t totalMs = 60000;
};

// Polls readyState until it is 4, pumping window messages in between.
// When a bound runs out first, or *cancelled becomes true (a click during
// the wait), aborts the request and throws Failure (Cancelled for the latter).
void WaitForCompletion(HttpRequest& request, Process& process, WaitBounds bounds, const bool* cancelled = nullptr);
// One bound for both: the wait ends deadlineMs after it began at the latest.
inline void WaitForCompletion(HttpRequest& request, Process& process, int deadlineMs) {
    WaitForCompletion(request, process, WaitBounds{deadlineMs, deadlineMs});
}

// The wait was ended by the caller, not by the network.
class Cancelled : public Failure {
public:
    Cancelled() : Failure(L"The request was cancelled.") {}
};

// "60 seconds", "1.5 seconds", "10 minutes": a bound as the user reads it.
std::wstring DeadlineText(std::int64_t deadlineMs);

}  // namespace hb
