#pragma once
// "HoardbookUploader.log": every entry of the message log, also kept on
// disk beside the settings files, so that a player can send it to whoever
// helps them (the window's log is gone when the program ends).
//
// - Each entry is "YYYY-MM-DD hh:mm:ss: message" and CR LF, in UTF-8 (the
//   file starts with the byte-order mark, so every editor shows any name
//   right); the date reads the same in every country. The message is
//   bounded as in the window (a failed upload's data shows as its excerpt).
// - Bounded: an entry that would take the file past 1 MB first makes it
//   "HoardbookUploader.log.1" (replacing the one before), so at most about
//   2 MB are kept.
// - Never a password: the password box's text is masked wherever it appears.
// - Its failures never disturb the program: the first is said once in the
//   window's log, then it keeps trying quietly.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ports/FileSystem.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"

namespace hb {

inline constexpr const wchar_t* kLogFileName = L"HoardbookUploader.log";
inline constexpr std::uint64_t kLogFileLimit = 1024 * 1024;

class LogFile {
public:
    // folder: where the file lives, asked at each entry; secret: the text
    // never written (the password); told: the window's log, for the one
    // report of a failure.
    LogFile(FileSystem& files, const Process& process, std::function<std::wstring()> folder,
            std::function<std::wstring()> secret, MessageLog& told);

    // Adds the entry; never throws.
    void append(const std::wstring& message) noexcept;

private:
    FileSystem& files_;
    const Process& process_;
    std::function<std::wstring()> folder_;
    std::function<std::wstring()> secret_;
    MessageLog& told_;
    bool failureTold_ = false;

    bool write(const std::wstring& path, const std::string& entry, std::wstring& error);
};

// The message log as the program keeps it: in the window, and on disk.
class KeptMessageLog : public MessageLog {
public:
    KeptMessageLog(MessageLog& window, LogFile& file) : window_(window), file_(file) {}
    void add(const std::wstring& message) override {
        window_.add(message);
        file_.append(message);
    }

private:
    MessageLog& window_;
    LogFile& file_;
};

}  // namespace hb
