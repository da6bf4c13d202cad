#pragma once
// The running process: ending it, where it lives and the user's folders,
// the clock, the user's regional date format, the window message pump and
// the ANSI code page.

#include <cstdint>
#include <optional>
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
    // The running executable's file name: "HoardbookUploader.exe" unless
    // the player renamed it.
    virtual std::wstring executableFileName() const = 0;
    // The current working directory, without a trailing backslash.
    virtual std::wstring workingFolder() const = 0;
    // The user's local application-data folder (%LOCALAPPDATA%), without
    // a trailing backslash; empty when the system names none.
    virtual std::wstring localAppDataFolder() const = 0;
    // Where Windows kept what a program without a manifest (as earlier
    // versions were) wrote into this folder when the folder was not
    // writable: the user's VirtualStore copy of a folder under Program
    // Files, Windows or ProgramData. Nothing for any other folder.
    virtual std::optional<std::wstring> virtualStoreFolder(const std::wstring& folder) const = 0;
    // Local date and time in the user's short date format, a blank, and
    // the time with seconds.
    virtual std::wstring localDateTimeText() const = 0;
    // Local date and time as "YYYY-MM-DD hh:mm:ss", which reads the same in
    // every country (for a file a player sends to someone else).
    virtual std::wstring isoLocalDateTimeText() const = 0;
    // Dispatches pending window messages; waits at most maxWaitMs for one.
    virtual void pumpMessages(int maxWaitMs) = 0;
    // A monotonic clock in milliseconds, for deadlines.
    virtual std::int64_t monotonicMs() const = 0;
    // The system's clock as a file time (100 ns units since 1601 UTC), to
    // tell how long ago a file was written.
    virtual std::int64_t systemTimeAsFileTime() const = 0;
};

// Conversions between the system's ANSI code page and UTF-16 text.
class Codepage {
public:
    virtual ~Codepage() = default;
    virtual std::wstring fromAnsi(std::string_view bytes) const = 0;
    virtual std::string toAnsi(std::wstring_view text) const = 0;
};

}  // namespace hb
