#pragma once
// Waiting for an HTTP object to finish while the window keeps working.

#include "ports/Http.h"
#include "ports/Process.h"

namespace hb {

// How long one pause between two polls may last; window messages end it
// early, so timers and clicks are not delayed by it.
inline constexpr int kHttpPollMs = 10;

// Polls readyState until it is 4, pumping window messages in between.
// When deadlineMs runs out first, aborts the request and throws Failure.
void WaitForCompletion(HttpRequest& request, Process& process, int deadlineMs);

// "60 seconds", "1.5 seconds": the deadline as the user reads it.
std::wstring DeadlineText(int deadlineMs);

}  // namespace hb
