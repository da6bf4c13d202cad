#pragma once
// An in-memory registry with advapi32's status codes: keys are never created
// by opening, names compare without regard to case, data is stored as given
// (a string's as UTF-16LE bytes, as the wide functions store it).

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ports/Registry.h"

namespace hb::test {

class FakeRegistry : public Registry {
public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };

    // Test set-up: creates the key (and stores a value).
    void createKey(RegistryRoot root, const std::wstring& path);
    void put(RegistryRoot root, const std::wstring& path, const std::wstring& name, std::uint32_t type,
             std::vector<std::uint8_t> data);
    void putString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                   const std::wstring& text);  // with its terminating zero
    const Value* find(RegistryRoot root, const std::wstring& path, const std::wstring& name) const;
    bool keyExists(RegistryRoot root, const std::wstring& path) const;
    // Opening this key with any write access fails with ERROR_ACCESS_DENIED.
    void denyWrite(RegistryRoot root, const std::wstring& path);

    long openKey(RegistryRoot root, const std::wstring& path, std::uint32_t access, RegistryKey& key) override;
    long queryValue(RegistryKey key, const std::wstring& name, std::uint32_t& type, std::uint8_t* data,
                    std::uint32_t& size) override;
    long setValue(RegistryKey key, const std::wstring& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long deleteValue(RegistryKey key, const std::wstring& name) override;
    long closeKey(RegistryKey key) override;
    long enumKey(RegistryKey key, std::uint32_t index, std::wstring& name) override;

    std::vector<std::uint32_t> accessRequested;  // every openKey's access mask
    int openKeys() const { return static_cast<int>(open_.size()); }

private:
    static std::wstring keyName(RegistryRoot root, const std::wstring& path);
    std::map<std::wstring, std::map<std::wstring, Value>> keys_;
    std::set<std::wstring> writeDenied_;
    std::map<RegistryKey, std::pair<std::wstring, std::uint32_t>> open_;  // key name, access
    RegistryKey next_ = 0x100;
};

}  // namespace hb::test
