#pragma once
// Base64 (RFC 4648, with padding): binary data on one line of a text file.

#include <optional>
#include <string>
#include <string_view>

namespace hb {

std::string ToBase64(std::string_view bytes);

// Nothing for text that is not canonical padded base64 (any other
// character, a wrong length, stray bits in the last group).
std::optional<std::string> FromBase64(std::string_view text);

}  // namespace hb
