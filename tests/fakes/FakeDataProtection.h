#pragma once
// Protection by a key of the user's: what one key protects, another cannot
// read back, as DPAPI refuses another user's or computer's blob.

#include <optional>
#include <string>
#include <string_view>

#include "ports/DataProtection.h"

namespace hb::test {

class FakeDataProtection : public DataProtection {
public:
    explicit FakeDataProtection(char userKey = 'K') : key_(userKey) {}

    std::optional<std::string> protect(std::string_view plain) const override {
        if (refuses) return std::nullopt;
        std::string blob = std::string(kMagic) + key_;
        for (char c : plain) blob.push_back(static_cast<char>(c ^ key_));
        return blob;
    }
    std::optional<std::string> unprotect(std::string_view blob) const override {
        if (blob.size() <= kMagic.size() || blob.substr(0, kMagic.size()) != kMagic || blob[kMagic.size()] != key_)
            return std::nullopt;
        std::string plain;
        for (char c : blob.substr(kMagic.size() + 1)) plain.push_back(static_cast<char>(c ^ key_));
        return plain;
    }

    bool refuses = false;  // the system cannot protect anything

private:
    static constexpr std::string_view kMagic = "\x01\x02blob";
    char key_;
};

}  // namespace hb::test
