#include "shell/MessageLog.h"

namespace hb {

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::wstring BoundedLogMessage(std::wstring_view message) {
    if (message.size() <= kLogEntryMessageLimit) return std::wstring(message);
    std::size_t kept = kLogEntryMessageLimit;
    // Never half a surrogate pair.
    if (IsHighSurrogate(message[kept - 1])) --kept;
    return std::wstring(message.substr(0, kept)) + L"\u2026 (" + std::to_wstring(message.size() - kept) +
           L" more characters)";
}

std::wstring LogEntry(std::wstring_view stamp, std::wstring_view message) {
    std::wstring entry(stamp);
    entry.append(L": ").append(BoundedLogMessage(message)).append(L"\r\n");
    return entry;
}

void WindowMessageLog::add(const std::wstring& message) {
    if (window_.textLength(Control::Data) > kMessageLogLimit) window_.truncateText(Control::Data, kMessageLogLimit);
    window_.insertTextAtStart(Control::Data, LogEntry(process_.localDateTimeText(), message));
}

}  // namespace hb
