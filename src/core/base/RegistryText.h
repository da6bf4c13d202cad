#pragma once
// A registry string's data is UTF-16LE code units, whatever wchar_t is on
// the platform compiling the core: these convert it to text and back.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hb {

// The code units in bytes (little-endian), without a terminating zero. Where
// wchar_t is 32 bits wide, characters beyond U+FFFF become surrogate pairs.
std::vector<std::uint8_t> ToUtf16LeBytes(std::wstring_view text);

// The text of whole code units in bytes; an odd last byte is no character.
// Where wchar_t is 32 bits wide, surrogate pairs are combined and a lone
// surrogate becomes U+FFFD.
std::wstring FromUtf16LeBytes(const std::uint8_t* bytes, std::size_t size);

}  // namespace hb
