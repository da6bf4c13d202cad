#pragma once
// The registry as advapi32's wide-character functions offer it: status codes
// are the functions' own (0 success, a Windows error code otherwise); key
// paths and value names are UTF-16 text, and a string value's data is its
// UTF-16LE bytes as stored, so no name is squeezed through a code page.

#include <cstdint>
#include <string>
#include <vector>

namespace hb {

enum class RegistryRoot : std::uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
};

namespace reg {
inline constexpr std::uint32_t REG_SZ_TYPE = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ_TYPE = 2;
inline constexpr std::uint32_t REG_BINARY_TYPE = 3;
inline constexpr std::uint32_t REG_DWORD_TYPE = 4;
inline constexpr std::uint32_t KEY_QUERY_VALUE_ACCESS = 0x0001;
inline constexpr std::uint32_t KEY_WRITE_ACCESS = 0x003F;
inline constexpr std::uint32_t KEY_WOW64_32KEY_ACCESS = 0x0200;
inline constexpr long SUCCESS = 0;
inline constexpr long FILE_NOT_FOUND = 2;
inline constexpr long MORE_DATA = 234;
inline constexpr long NO_MORE_ITEMS = 259;
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS_ACCESS = 0x0008;
inline constexpr std::uint32_t KEY_WOW64_64KEY_ACCESS = 0x0100;
}  // namespace reg

using RegistryKey = std::uintptr_t;  // an open key; 0 is no key

class Registry {
public:
    virtual ~Registry() = default;
    virtual long openKey(RegistryRoot root, const std::wstring& path, std::uint32_t access,
                         RegistryKey& key) = 0;
    // With data == nullptr only the type and size are asked for. On entry
    // size is the buffer's size; on return the number of bytes stored.
    virtual long queryValue(RegistryKey key, const std::wstring& name, std::uint32_t& type,
                            std::uint8_t* data, std::uint32_t& size) = 0;
    virtual long setValue(RegistryKey key, const std::wstring& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) = 0;
    virtual long deleteValue(RegistryKey key, const std::wstring& name) = 0;
    virtual long closeKey(RegistryKey key) = 0;
    // The name of the key's sub-key at index (from 0); NO_MORE_ITEMS past the last.
    virtual long enumKey(RegistryKey key, std::uint32_t index, std::wstring& name) {
        (void)key;
        (void)index;
        name.clear();
        return reg::NO_MORE_ITEMS;
    }
};

}  // namespace hb
