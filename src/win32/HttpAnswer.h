#pragma once
// Reading an HTTP answer the way both transports need it: a declared
// length against a bound, and the body's bytes as text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hb::win32 {

// Whether a Content-Length value names more than maxBytes; false for a
// value that is not a length (the bytes themselves are counted then).
bool DeclaredLengthExceeds(std::wstring_view value, std::size_t maxBytes);

// The length a Content-Length value names, if it is one that fits.
std::optional<std::size_t> DeclaredLength(std::wstring_view value);

// The body as text, as XMLHTTP gives it: a byte order mark decides first,
// then the charset of the Content-Type; UTF-8 otherwise.
std::wstring AnswerText(std::string_view bytes, std::wstring_view contentType);

// The value of the first header of that name (any letter case) in raw
// headers as WinHTTP gives them (the status line, then "Name: value" lines
// ending in CR LF), without surrounding blanks; empty when absent.
std::wstring HeaderValue(std::wstring_view rawHeaders, std::wstring_view name);

}  // namespace hb::win32
