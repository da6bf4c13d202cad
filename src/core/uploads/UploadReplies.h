#pragma once
// The guild website's answers to an upload, compared as whole texts,
// exactly, and what an answer means.

#include "net/Transfers.h"

namespace hb {

inline constexpr const wchar_t* kReplyUploaded = L"Inventory Uploaded";
inline constexpr const wchar_t* kReplyInvalidLogin = L"Invalid Login/Password";

enum class UploadOutcome {
    Accepted,       // a success status and "Inventory Uploaded"
    RejectedLogin,  // "Invalid Login/Password" with a success status, 401 or 403
    NoAnswer,       // nothing came back (no network, the site down, a name not resolved, a deadline)
    Failed,         // any other answer: an error status, a redirect, an unknown text
    Cancelled,      // the program ended the wait itself
};

// Sites that answer a wrong password with 401 or 403 say so with the same
// text as those answering 200; any other status is a failure of its own,
// whatever its text.
inline UploadOutcome OutcomeOf(const UploadResult& upload) {
    if (upload.cancelled) return UploadOutcome::Cancelled;
    if (upload.status == 0) return UploadOutcome::NoAnswer;
    if (upload.reply == kReplyInvalidLogin && (upload.answered || upload.status == 401 || upload.status == 403)) {
        return UploadOutcome::RejectedLogin;
    }
    if (upload.answered && upload.reply == kReplyUploaded) return UploadOutcome::Accepted;
    return UploadOutcome::Failed;
}

}  // namespace hb
