#pragma once
// The running process: ending it, where it lives, the clock, the user's
// regional date format, the window message pump and the ANSI code page.

#include <cstdint>
#include <string>
#include <string_view>

namespace hb {

class Process {
public:
    virtual ~Process() = default;
    // Ends the process at once: no close handling, nothing saved.
    [[noreturn]] virtual void endNow() = 0;
    // The folder of the running executable, without a trailing backslash.
    virtual std::wstring executableFolder() const = 0;
    // Local date and time in the user's short date format, a blank, and
    // the time with seconds.
    virtual std::wstring localDateTimeText() const = 0;
    // Dispatches pending window messages; waits at most maxWaitMs for one.
    virtual void pumpMessages(int maxWaitMs) = 0;
    // A monotonic clock in milliseconds, for deadlines.
    virtual std::int64_t monotonicMs() const = 0;
};

// Conversions between the system's ANSI code page and UTF-16 text.
class Codepage {
public:
    virtual ~Codepage() = default;
    virtual std::wstring fromAnsi(std::string_view bytes) const = 0;
    virtual std::string toAnsi(std::wstring_view text) const = 0;
};

}  // namespace hb
