#pragma once
// The message log the user reads in the main window. Subsystems report
// through this rather than through the window, so each can be built and
// tested with a log of its own.

#include <string>

namespace hb {

class MessageLog {
public:
    virtual ~MessageLog() = default;
    // Adds "date time: message" on top of the log.
    virtual void add(const std::wstring& message) = 0;
};

}  // namespace hb
