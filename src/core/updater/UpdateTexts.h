#pragma once
// Texts the check builds from what the server sent.

#include <string>
#include <vector>

#include "net/Transfers.h"

namespace hb {

// A server-supplied name as a log line or box may show it: control
// characters would break the log's line structure, and a name of megabytes
// would freeze the window that shows it.
std::wstring Printable(const std::wstring& name);

// The first few names, quoted, then how many more.
std::wstring JoinNames(const std::vector<std::wstring>& names);

// Why a download gave nothing usable: its failure, or whenEmpty when it
// failed without a description or succeeded with nothing.
std::wstring FailureText(const DownloadResult& download, const std::wstring& whenEmpty);

}  // namespace hb
