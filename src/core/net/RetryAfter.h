#pragma once
// A server's Retry-After, as a 429 (too many requests) or 503 (not
// available) answer may carry it.

#include <cstdint>
#include <optional>
#include <string_view>

namespace hb {

// The delay in milliseconds for a value of delta-seconds ("120"), at most a
// day; nothing for an empty, malformed value or an HTTP date (the program
// keeps no wall clock for deadlines; its own back-off applies then).
std::optional<std::int64_t> RetryAfterMs(std::wstring_view value);

// Whether an answer with this status may carry a Retry-After to honour.
constexpr bool MayAskToRetryLater(int status) { return status == 429 || status == 503; }

}  // namespace hb
