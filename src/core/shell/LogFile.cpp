#include "shell/LogFile.h"

#include <exception>

#include "base/Utf8.h"
#include "shell/MessageLog.h"

namespace hb {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::wstring_view kMask = L"********";

std::wstring Masked(std::wstring text, const std::wstring& secret) {
    if (secret.empty()) return text;
    for (auto at = text.find(secret); at != std::wstring::npos; at = text.find(secret, at + kMask.size())) {
        text.replace(at, secret.size(), kMask);
    }
    return text;
}

}  // namespace

LogFile::LogFile(FileSystem& files, const Process& process, std::function<std::wstring()> folder,
                 std::function<std::wstring()> secret, MessageLog& told)
    : files_(files), process_(process), folder_(std::move(folder)), secret_(std::move(secret)), told_(told) {}

void LogFile::append(const std::wstring& message) noexcept {
    try {
        const std::wstring path = folder_() + L"\\" + kLogFileName;
        const std::string entry = ToUtf8(LogEntry(process_.isoLocalDateTimeText(), Masked(message, secret_())));
        std::wstring error;
        if (write(path, entry, error) || failureTold_) return;
        failureTold_ = true;
        told_.add(L"Could not write the log file " + path + L": " + error);
    } catch (...) {
        // Out of memory, say: the window's log still has the entry.
    }
}

bool LogFile::write(const std::wstring& path, const std::string& entry, std::wstring& error) {
    // Asked each time: the player may have moved or deleted the file.
    std::uint64_t size = files_.fileSize(path).value_or(0);
    if (size > 0 && size + entry.size() > kLogFileLimit) {
        // The full file becomes the earlier one, whole; then a new file.
        std::optional<std::string> full = files_.readAll(path, error);
        if (!full || !files_.replaceAtomically(path + L".1", *full, error)) return false;
        if (!files_.writeAll(path, std::string(), error)) return false;
        size = 0;
    }
    return files_.appendToFile(path, size == 0 ? std::string(kByteOrderMark) + entry : entry, error);
}

}  // namespace hb
