#include "fakes/FakeRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "base/RegistryText.h"

namespace hb::test {

namespace {
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;

// The registry ignores case; ASCII letters are enough for the names tests use.
std::wstring upper(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; });
    return text;
}
}  // namespace

std::wstring FakeRegistry::keyName(RegistryRoot root, const std::wstring& path) {
    return std::to_wstring(static_cast<std::uint32_t>(root)) + L"\\" + upper(path);
}

void FakeRegistry::createKey(RegistryRoot root, const std::wstring& path) { keys_[keyName(root, path)]; }

void FakeRegistry::put(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                       std::uint32_t type, std::vector<std::uint8_t> data) {
    keys_[keyName(root, path)][upper(name)] = Value{type, std::move(data)};
}

void FakeRegistry::putString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                             const std::wstring& text) {
    std::vector<std::uint8_t> data = ToUtf16LeBytes(text);
    data.push_back(0);
    data.push_back(0);
    put(root, path, name, reg::REG_SZ_TYPE, std::move(data));
}

const FakeRegistry::Value* FakeRegistry::find(RegistryRoot root, const std::wstring& path,
                                              const std::wstring& name) const {
    auto key = keys_.find(keyName(root, path));
    if (key == keys_.end()) return nullptr;
    auto value = key->second.find(upper(name));
    return value == key->second.end() ? nullptr : &value->second;
}

bool FakeRegistry::keyExists(RegistryRoot root, const std::wstring& path) const {
    return keys_.count(keyName(root, path)) != 0;
}

void FakeRegistry::denyWrite(RegistryRoot root, const std::wstring& path) {
    writeDenied_.insert(keyName(root, path));
}

long FakeRegistry::openKey(RegistryRoot root, const std::wstring& path, std::uint32_t access,
                           RegistryKey& key) {
    accessRequested.push_back(access);
    key = 0;
    std::wstring name = keyName(root, path);
    if (keys_.count(name) == 0) return reg::FILE_NOT_FOUND;
    if ((access & 0x0006u) != 0 && writeDenied_.count(name) != 0) return kAccessDenied;
    key = next_++;
    open_[key] = {name, access};
    return reg::SUCCESS;
}

long FakeRegistry::queryValue(RegistryKey key, const std::wstring& name, std::uint32_t& type,
                              std::uint8_t* data, std::uint32_t& size) {
    auto open = open_.find(key);
    if (open == open_.end()) return kInvalidHandle;
    auto& values = keys_[open->second.first];
    auto value = values.find(upper(name));
    if (value == values.end()) return reg::FILE_NOT_FOUND;
    type = value->second.type;
    auto stored = static_cast<std::uint32_t>(value->second.data.size());
    if (data == nullptr) {
        size = stored;
        return reg::SUCCESS;
    }
    if (size < stored) {
        size = stored;
        return reg::MORE_DATA;
    }
    if (stored != 0) std::memcpy(data, value->second.data.data(), stored);
    size = stored;
    return reg::SUCCESS;
}

long FakeRegistry::setValue(RegistryKey key, const std::wstring& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) {
    auto open = open_.find(key);
    if (open == open_.end()) return kInvalidHandle;
    if ((open->second.second & 0x0002u) == 0) return kAccessDenied;
    keys_[open->second.first][upper(name)] = Value{type, std::vector<std::uint8_t>(data, data + size)};
    return reg::SUCCESS;
}

long FakeRegistry::deleteValue(RegistryKey key, const std::wstring& name) {
    auto open = open_.find(key);
    if (open == open_.end()) return kInvalidHandle;
    if ((open->second.second & 0x0002u) == 0) return kAccessDenied;
    return keys_[open->second.first].erase(upper(name)) != 0 ? reg::SUCCESS : reg::FILE_NOT_FOUND;
}

long FakeRegistry::closeKey(RegistryKey key) { return open_.erase(key) != 0 ? reg::SUCCESS : kInvalidHandle; }

}  // namespace hb::test

namespace hb::test {

long FakeRegistry::enumKey(RegistryKey key, std::uint32_t index, std::wstring& name) {
    name.clear();
    auto open = open_.find(key);
    if (open == open_.end()) return kInvalidHandle;
    // The stored keys below this one give its sub-keys (by their first part),
    // upper-cased as the fake keeps every name.
    const std::wstring prefix = open->second.first + L"\\";
    std::set<std::wstring> children;
    for (const auto& stored : keys_) {
        if (stored.first.compare(0, prefix.size(), prefix) != 0) continue;
        std::wstring rest = stored.first.substr(prefix.size());
        children.insert(rest.substr(0, rest.find(L'\\')));
    }
    if (index >= children.size()) return reg::NO_MORE_ITEMS;
    name = *std::next(children.begin(), index);
    return reg::SUCCESS;
}

}  // namespace hb::test
