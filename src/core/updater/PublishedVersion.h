#pragma once
// The check's first stage: the version the source publishes.

#include <optional>
#include <string>

#include "net/Transfers.h"
#include "ports/MessageLog.h"
#include "updater/CheckPace.h"
#include "updater/UpdateSource.h"

namespace hb {

// The published version, without surrounding white space. Nothing when the
// fetch failed or its text is no version (empty, too long, control
// characters): the log says which, and the check changes nothing.
std::optional<std::wstring> FetchPublishedVersion(Transfers& transfers, const UpdateSource& source, CheckPace& pace,
                                                  MessageLog& log);

}  // namespace hb
