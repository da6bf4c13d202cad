#pragma once
// The message log as the main window shows it: newest entry on top.

#include <cstddef>
#include <string>
#include <string_view>

#include "ports/MainWindow.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"

namespace hb {

// The message log: entries newest first, each "stamp: message" + CR LF.
// The log keeps at most this many characters before a new entry is added,
// cutting its oldest end.
inline constexpr std::size_t kMessageLogLimit = 20000;

// One entry carries at most this many characters of its message; a longer
// message (a failed upload's report, a name from a server) keeps its start
// and a note of how much was left out, so no entry can hold up the window.
inline constexpr std::size_t kLogEntryMessageLimit = 8192;

// The message as an entry carries it: whole up to kLogEntryMessageLimit,
// otherwise its start followed by "… (N more characters)".
std::wstring BoundedLogMessage(std::wstring_view message);

// The entry "stamp: message" + CR LF, with the message bounded.
std::wstring LogEntry(std::wstring_view stamp, std::wstring_view message);

// The log in the window's "Data" box, each entry stamped with the local
// date and time.
class WindowMessageLog : public MessageLog {
public:
    WindowMessageLog(MainWindow& window, const Process& process) : window_(window), process_(process) {}
    void add(const std::wstring& message) override;

private:
    MainWindow& window_;
    const Process& process_;
};

}  // namespace hb
