#pragma once
// UTF-16 (or UTF-32, wherever wchar_t is 32 bits wide) text to UTF-8 bytes
// and back.

#include <string>
#include <string_view>

namespace hb {

// Surrogate pairs are combined; a lone surrogate or a value beyond
// U+10FFFF becomes U+FFFD, so the result is always valid UTF-8.
std::string ToUtf8(std::wstring_view text);

// Like ToUtf8, except that a lone surrogate keeps a three-byte form of its
// own (as WTF-8 does), so FromUtf8 gives back exactly the text that went in.
// For the program's own files, which must hold any name a folder can have.
std::string ToUtf8KeepingSurrogates(std::wstring_view text);

// UTF-8 bytes as text. The three-byte form of a surrogate comes back as that
// code unit; a byte that starts no well-formed sequence becomes U+FFFD.
std::wstring FromUtf8(std::string_view bytes);

}  // namespace hb
