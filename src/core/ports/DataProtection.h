#pragma once
// Encryption for the current user of this computer (Windows' DPAPI): bytes
// one user protects can be read back only by the same user on the same
// computer, so a copied settings file gives nobody the password.

#include <optional>
#include <string>
#include <string_view>

namespace hb {

class DataProtection {
public:
    virtual ~DataProtection() = default;
    // The protected form of plain; nothing when the system cannot protect it.
    virtual std::optional<std::string> protect(std::string_view plain) const = 0;
    // The plain bytes; nothing when blob was not protected by this user on
    // this computer, or is damaged.
    virtual std::optional<std::string> unprotect(std::string_view blob) const = 0;
};

}  // namespace hb
