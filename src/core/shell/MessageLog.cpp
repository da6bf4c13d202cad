#include "shell/MessageLog.h"

namespace hb {

std::wstring WithLogEntry(std::wstring log, const std::wstring& stamp, const std::wstring& message) {
    if (log.size() > kMessageLogLimit) log.resize(kMessageLogLimit);
    std::wstring entry;
    entry.reserve(stamp.size() + 2 + message.size() + 2 + log.size());
    entry.append(stamp).append(L": ").append(message).append(L"\r\n").append(log);
    return entry;
}

void WindowMessageLog::add(const std::wstring& message) {
    window_.setText(Control::Data, WithLogEntry(window_.text(Control::Data), process_.localDateTimeText(), message));
}

}  // namespace hb
