#include "shell/MessageLog.h"

#include "shell/Form1.h"

namespace hb {

std::wstring WithLogEntry(std::wstring log, const std::wstring& stamp, const std::wstring& message) {
    if (log.size() > kMessageLogLimit) log.resize(kMessageLogLimit);
    std::wstring entry;
    entry.reserve(stamp.size() + 2 + message.size() + 2 + log.size());
    entry.append(stamp).append(L": ").append(message).append(L"\r\n").append(log);
    return entry;
}

void Form1::AddMessage(const std::wstring& message) {
    MainWindow& window = ports_.window;
    window.setText(Control::Data, WithLogEntry(window.text(Control::Data),
                                               ports_.process.localDateTimeText(), message));
}

}  // namespace hb
