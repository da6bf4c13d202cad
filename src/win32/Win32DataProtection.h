#pragma once
// DPAPI for the current user, with an entropy of the program's own so no
// other program's protected data reads as ours or ours as theirs.

#include "ports/DataProtection.h"

namespace hb::win32 {

class Win32DataProtection : public DataProtection {
public:
    std::optional<std::string> protect(std::string_view plain) const override;
    std::optional<std::string> unprotect(std::string_view blob) const override;
};

}  // namespace hb::win32
