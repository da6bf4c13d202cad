#pragma once
// The percent-encoding the website expects for the login and password.

#include <string>

namespace hb {

// Thirteen fixed replacements, not a general URL encoder: every other
// character, non-ASCII ones included, passes through.
std::wstring EncodeForm(const std::wstring& text);

}  // namespace hb
