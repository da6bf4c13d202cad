#pragma once
// The registry port over advapi32's wide-character functions. Keys still
// open when the object goes away are closed then.

#include <windows.h>

#include <map>

#include "ports/Registry.h"
#include "win32/Handles.h"

namespace hb::win32 {

class Win32Registry : public Registry {
public:
    long openKey(RegistryRoot root, const std::wstring& path, std::uint32_t access, RegistryKey& key) override;
    long queryValue(RegistryKey key, const std::wstring& name, std::uint32_t& type, std::uint8_t* data,
                    std::uint32_t& size) override;
    long setValue(RegistryKey key, const std::wstring& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long deleteValue(RegistryKey key, const std::wstring& name) override;
    long closeKey(RegistryKey key) override;
    long enumKey(RegistryKey key, std::uint32_t index, std::wstring& name) override;

private:
    HKEY find(RegistryKey key) const;
    std::map<RegistryKey, UniqueKey> open_;
};

// The predefined key for a root.
HKEY RootKey(RegistryRoot root);

}  // namespace hb::win32
