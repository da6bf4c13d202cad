#pragma once
// The remembered password, settings.txt's third line. Earlier versions kept
// it there in clear; it is now kept protected for the current Windows user
// (ports/DataProtection.h): "dpapi:" followed by the protected bytes (the
// password as UTF-8, encrypted) in base64. A clear line of an earlier
// version is still read, and the next save writes it protected. An earlier
// version reading a protected line would send it as the password, which the
// site refuses.

#include <optional>
#include <string>
#include <string_view>

#include "ports/DataProtection.h"

namespace hb {

inline constexpr std::wstring_view kProtectedPasswordMark = L"dpapi:";

// The line for a password to remember (an empty one stays empty); nothing
// when the system cannot protect it, which is never a reason to store it in
// clear.
std::optional<std::wstring> PasswordLineOf(const std::wstring& password, const DataProtection& protection);

struct RememberedPassword {
    std::wstring password;
    // The line holds a protected password this user cannot read (another
    // user's or computer's file, or a damaged line): it counts as none.
    bool unreadable = false;
};

RememberedPassword ReadPasswordLine(const std::wstring& line, const DataProtection& protection);

}  // namespace hb
