#include "settings/PasswordLine.h"

#include "base/Base64.h"
#include "base/Utf8.h"

namespace hb {

std::optional<std::wstring> PasswordLineOf(const std::wstring& password, const DataProtection& protection) {
    if (password.empty()) return std::wstring();
    const std::optional<std::string> blob = protection.protect(ToUtf8KeepingSurrogates(password));
    if (!blob) return std::nullopt;
    const std::string text = ToBase64(*blob);
    return std::wstring(kProtectedPasswordMark) + std::wstring(text.begin(), text.end());
}

RememberedPassword ReadPasswordLine(const std::wstring& line, const DataProtection& protection) {
    if (line.compare(0, kProtectedPasswordMark.size(), kProtectedPasswordMark) != 0) return {line, false};
    std::string text;
    for (std::size_t i = kProtectedPasswordMark.size(); i < line.size(); ++i) {
        if (line[i] > 0x7F) return {{}, true};
        text.push_back(static_cast<char>(line[i]));
    }
    const std::optional<std::string> blob = FromBase64(text);
    const std::optional<std::string> plain = blob ? protection.unprotect(*blob) : std::nullopt;
    if (!plain) return {{}, true};
    return {FromUtf8(*plain), false};
}

}  // namespace hb
