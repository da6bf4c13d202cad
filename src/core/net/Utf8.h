#pragma once
// UTF-16 (or UTF-32, wherever wchar_t is 32 bits wide) text to UTF-8 bytes.

#include <string>
#include <string_view>

namespace hb {

// Surrogate pairs are combined; a lone surrogate or a value beyond
// U+10FFFF becomes U+FFFD, so the result is always valid UTF-8.
std::string ToUtf8(std::wstring_view text);

}  // namespace hb
