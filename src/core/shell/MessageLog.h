#pragma once
// The message log as the main window shows it: newest entry on top.

#include <cstddef>
#include <string>

#include "ports/MainWindow.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"

namespace hb {

// The log keeps at most this many characters before a new entry is added.
inline constexpr std::size_t kMessageLogLimit = 20000;

// The log's new text: the entry "stamp: message" + CR LF on top of the old
// log, which is first cut to kMessageLogLimit characters.
std::wstring WithLogEntry(std::wstring log, const std::wstring& stamp, const std::wstring& message);

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
