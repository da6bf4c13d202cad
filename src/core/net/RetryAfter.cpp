#include "net/RetryAfter.h"

namespace hb {

std::optional<std::int64_t> RetryAfterMs(std::wstring_view value) {
    constexpr std::int64_t kDaySeconds = 24 * 60 * 60;
    while (!value.empty() && (value.front() == L' ' || value.front() == L'\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == L' ' || value.back() == L'\t')) value.remove_suffix(1);
    if (value.empty()) return std::nullopt;
    std::int64_t seconds = 0;
    for (wchar_t c : value) {
        if (c < L'0' || c > L'9') return std::nullopt;
        seconds = seconds * 10 + (c - L'0');
        if (seconds > kDaySeconds) seconds = kDaySeconds;  // and no overflow however long the digits go on
    }
    return seconds * 1000;
}

}  // namespace hb
