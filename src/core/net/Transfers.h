#pragma once
// The program's requests: the upload to the guild website and the
// downloads from the add-on's update server. Each call returns what
// happened; how a failure reaches the user is the caller's choice.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ports/FileSystem.h"
#include "ports/Http.h"
#include "ports/MessageBoxes.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"
#include "ports/ProgramExit.h"
#include "ports/Shell.h"

namespace hb {

// How a call reports its failure. Box: a message box the user must close,
// for actions the user is watching. LogOnly: no box; the upload logs its
// failure itself, a download leaves it to its caller, which has it in the
// result.
enum class FailureReport { Box, LogOnly };

// Where and as whom an upload goes.
struct SiteLogin {
    std::wstring host;  // "host[:port]" or "https://host[:port]" (net/SiteUrl.h)
    std::wstring login;
    std::wstring password;

    bool operator==(const SiteLogin&) const = default;
};

struct UploadResult {
    // Whether the site answered the upload itself with a success status.
    // False for a transport failure, and for an error status or a redirect
    // (never followed: the data would be dropped or sent elsewhere), whatever
    // the answer's text.
    bool answered = false;
    // The answer's HTTP status and text.
    int status = 0;
    std::wstring reply;
    // What went wrong when the site did not answer as it should.
    std::wstring failure;
    // The address the site moved to ("https://host[:port]") when it
    // redirected the plain-HTTP upload to the same page over HTTPS and took
    // it there; empty otherwise. The caller uses it from now on.
    std::wstring movedTo;
    // The upload's URL (the new one after the move), for the log.
    std::wstring url;
    // How long the site asked to be left alone (the Retry-After of a 429 or
    // a 503, in milliseconds); nothing when it did not say.
    std::optional<std::int64_t> retryAfterMs;
    // The caller ended the wait (the user logged out meanwhile).
    bool cancelled = false;
};

// The bound that keeps a dead or silent peer from holding a request:
// nothing moved for this long. An upload's is the program's option (60 s),
// a download's is never longer than this.
inline constexpr int kDownloadDeadlineMs = 20000;

// Every request's total time is capped as well, generously, against a peer
// that trickles without end: a download at this, an upload at this plus
// its body at the slowest rate an honest uplink has.
inline constexpr std::int64_t kTransferTotalMs = 10 * 60 * 1000;
inline constexpr std::int64_t kSlowestHonestBytesPerSecond = 16 * 1024;

// An upload's total cap for a body of this size.
constexpr std::int64_t UploadTotalMs(std::int64_t baseMs, std::size_t bodyBytes) {
    return baseMs + static_cast<std::int64_t>(bodyBytes) / kSlowestHonestBytesPerSecond * 1000;
}

struct DownloadResult {
    // The body of a successful answer (empty for a download to a file);
    // nothing after a failure.
    std::optional<std::wstring> text;
    // What went wrong when there is no text.
    std::wstring failure;
    explicit operator bool() const { return text.has_value(); }
};

class Transfers {
public:
    // A request fails when nothing moved for deadlineMs (a download's bound
    // is never longer than kDownloadDeadlineMs); totalMs caps a download's
    // whole time and is the base of an upload's (UploadTotalMs).
    Transfers(HttpFactory& http, MessageBoxes& boxes, Shell& shell, FileSystem& files, Process& process,
              ProgramExit& exit, const Codepage& codepage, MessageLog& log, int deadlineMs, std::int64_t totalMs = kTransferTotalMs);

    // A new HTTP object of the newest class the machine has. Without any,
    // the user is sent to the download page and the program ends.
    std::unique_ptr<HttpRequest> CreateXMLObject();

    // Sends the saved data with the login. A transport failure is logged
    // with the data that was not sent (never the password), and boxed
    // unless report is LogOnly; the reply of a failed upload is cleared.
    UploadResult upload(const SiteLogin& site, const std::string& data, FailureReport report);
    // The same request, reporting nothing: the caller decides what the
    // answer means and how to tell the user. The reply is kept whatever the
    // status. The wait ends early, as cancelled, once *cancelled is true.
    UploadResult send(const SiteLogin& site, const std::string& data, const bool* cancelled = nullptr);
    // What upload does after a failure: the box (unless LogOnly) and the
    // log entry with the data that was not sent.
    void reportFailedUpload(const UploadResult& result, const std::string& data, FailureReport report);

    // The body of a successful GET of a short text (the published version,
    // the file list: at most 64 KB). A failure (no answer, a status that is
    // not success, a longer answer) is boxed as "Error Downloading File: ..."
    // unless report is LogOnly.
    // The wait ends when nothing moved for the download's bound, and after
    // totalMs at most (and never later than the transfers' own cap).
    DownloadResult download(const std::wstring& url, FailureReport report, std::int64_t totalMs = kTransferTotalMs);
    // An add-on file (at most 16 MB): the bytes the server sent, with CR LF
    // appended, written to path in place of the file there in one step;
    // after a failure the file there stays as it was. A failed write is
    // boxed as "Saving of file ..." unless report is LogOnly. A written file
    // gives an empty text.
    DownloadResult downloadToFile(const std::wstring& url, const std::wstring& path, FailureReport report,
                                  std::int64_t totalMs = kTransferTotalMs);

private:
    // One POST of the upload to url. True when the site answered it with a
    // success status; otherwise result.failure says why, and location holds
    // the Location of a redirect that may carry the upload on.
    bool post(const std::wstring& url, const SiteLogin& site, const std::string& data, UploadResult& result,
              std::wstring& location, const bool* cancelled);
    // The finished request of a successful GET of at most maxBytes; nullptr
    // after a failure, which is reported as asked and returned in failed.
    std::unique_ptr<HttpRequest> fetch(const std::wstring& url, std::size_t maxBytes, FailureReport report,
                                       std::int64_t totalMs, DownloadResult& failed);
    DownloadResult failedDownload(const std::wstring& boxText, const std::wstring& failure, FailureReport report);

    HttpFactory& http_;
    MessageBoxes& boxes_;
    Shell& shell_;
    FileSystem& files_;
    Process& process_;
    ProgramExit& exit_;
    const Codepage& codepage_;
    MessageLog& log_;
    int deadlineMs_;
    std::int64_t totalMs_;
};

}  // namespace hb
