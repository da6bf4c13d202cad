#pragma once
#include <cstddef>
#include <string>

namespace hb {

// The log keeps at most this many characters before a new entry is added.
inline constexpr std::size_t kMessageLogLimit = 20000;

// The log's new text: the entry "stamp: message" + CR LF on top of the old
// log, which is first cut to kMessageLogLimit characters.
std::wstring WithLogEntry(std::wstring log, const std::wstring& stamp, const std::wstring& message);

}  // namespace hb
