#pragma once
// The log entry of a failed upload: the address and the data that was not
// sent, between "-----Start-----" and "-----End-----" (never the password).

#include <cstddef>
#include <string>
#include <string_view>

#include "ports/Process.h"

namespace hb {

// How much of the data the entry shows: enough to recognise the file; a
// saved-data file may be megabytes long.
inline constexpr std::size_t kReportedDataLimit = 4096;

// "Error Sending the following data to " + url + ": " CR LF "-----Start-----"
// CR LF, the data (up to kReportedDataLimit bytes, then CR LF and
// "… (N more bytes)" CR LF), "-----End-----".
std::wstring FailedUploadReport(const std::wstring& url, std::string_view data, const Codepage& codepage);

}  // namespace hb
