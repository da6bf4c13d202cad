// The registry module: whole operations that open a key, do one thing and
// close it, over two lower operations on an open key.

#include "base/registry.h"

#include "base/RegistryText.h"

#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

namespace hb {

namespace {

// The game's installer writes its key in the 32-bit view; a 64-bit program
// must ask for that view to see the same values as a 32-bit one.
constexpr std::uint32_t kReadAccess = reg::KEY_QUERY_VALUE_ACCESS | reg::KEY_WOW64_32KEY_ACCESS;
constexpr std::uint32_t kWriteAccess = reg::KEY_WRITE_ACCESS | reg::KEY_WOW64_32KEY_ACCESS;
constexpr long kUnhandledType = -1;

// Closes the key when the operation ends, however it ends.
class OpenKey {
public:
    OpenKey(Registry& registry, RegistryRoot root, const std::wstring& path, std::uint32_t access)
        : registry_(registry) {
        if (registry_.openKey(root, path, access, key_) != reg::SUCCESS) key_ = 0;
    }
    ~OpenKey() {
        if (key_ != 0) registry_.closeKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    RegistryKey get() const { return key_; }
    explicit operator bool() const { return key_ != 0; }

private:
    Registry& registry_;
    RegistryKey key_ = 0;
};

std::wstring AsText(const RegistryValue& value) {
    if (const auto* text = std::get_if<std::wstring>(&value)) return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_wstring(*number);
    return {};
}

// A number as a 32-bit value; nothing for text that is not a whole number
// in range, which would otherwise be written as a made-up value.
std::optional<std::int32_t> AsNumber(const RegistryValue& value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
    if (const auto* text = std::get_if<std::wstring>(&value)) {
        // Digits are ASCII; anything else makes the text no number.
        std::string digits;
        for (wchar_t c : *text) {
            if (static_cast<std::uint32_t>(c) > 0x7F) return std::nullopt;  // wchar_t is signed on Linux
            digits.push_back(static_cast<char>(c));
        }
        std::int32_t parsed = 0;
        const char* end = digits.data() + digits.size();
        auto [stop, error] = std::from_chars(digits.data(), end, parsed);
        if (error != std::errc() || stop != end || digits.empty()) return std::nullopt;
        return parsed;
    }
    return 0;
}

}  // namespace

RegistryValue GetRegistryValue(Registry& registry, RegistryRoot root, const std::wstring& keyPath,
                               const std::wstring& valueName) {
    RegistryValue value;
    OpenKey key(registry, root, keyPath, kReadAccess);
    if (key) ReadRegistryData(registry, key.get(), valueName, value);
    return value;
}

void SetRegistryString(Registry& registry, RegistryRoot root, const std::wstring& keyPath,
                       const std::wstring& valueName, const std::wstring& text) {
    OpenKey key(registry, root, keyPath, kWriteAccess);
    if (key) WriteRegistryData(registry, key.get(), valueName, reg::REG_SZ_TYPE, text);
}

void DeleteRegistryValue(Registry& registry, RegistryRoot root, const std::wstring& keyPath,
                         const std::wstring& valueName) {
    OpenKey key(registry, root, keyPath, kWriteAccess);
    if (key) registry.deleteValue(key.get(), valueName);
}

long ReadRegistryData(Registry& registry, RegistryKey key, const std::wstring& valueName, RegistryValue& value) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    long status = registry.queryValue(key, valueName, type, nullptr, size);
    if (status != reg::SUCCESS) return status;

    if (type == reg::REG_SZ_TYPE) {
        std::vector<std::uint8_t> buffer(size, 0);
        status = registry.queryValue(key, valueName, type, buffer.empty() ? nullptr : buffer.data(), size);
        // The stored size counts the terminating zero (one UTF-16 code unit);
        // a value of no whole code unit has not even that and reads as nothing.
        const std::size_t units = size / 2;
        if (status == reg::SUCCESS && units > 0 && size <= buffer.size()) {
            value = FromUtf16LeBytes(buffer.data(), (units - 1) * 2);
        } else {
            value = std::monostate{};
        }
        return status;
    }
    if (type == reg::REG_DWORD_TYPE) {
        std::uint8_t bytes[4] = {};
        size = sizeof bytes;
        status = registry.queryValue(key, valueName, type, bytes, size);
        if (status == reg::SUCCESS) {
            std::int32_t number = 0;
            std::memcpy(&number, bytes, sizeof number);
            value = number;
        }
        return status;
    }
    return kUnhandledType;
}

long WriteRegistryData(Registry& registry, RegistryKey key, const std::wstring& valueName, std::uint32_t type,
                       const RegistryValue& value) {
    if (type == reg::REG_SZ_TYPE) {
        std::vector<std::uint8_t> data = ToUtf16LeBytes(AsText(value));
        data.push_back(0);  // the terminating zero code unit
        data.push_back(0);
        return registry.setValue(key, valueName, reg::REG_SZ_TYPE, data.data(),
                                 static_cast<std::uint32_t>(data.size()));
    }
    if (type == reg::REG_DWORD_TYPE) {
        auto number = AsNumber(value);
        if (!number) return kUnhandledType;
        std::uint8_t data[4];
        std::memcpy(data, &*number, sizeof data);
        return registry.setValue(key, valueName, reg::REG_DWORD_TYPE, data, sizeof data);
    }
    return reg::SUCCESS;
}

}  // namespace hb
