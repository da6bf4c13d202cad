#include "win32/Win32Registry.h"

namespace hb::win32 {

HKEY RootKey(RegistryRoot root) {
    // The predefined handles are sign-extended on 64-bit Windows, so they are
    // taken from the headers rather than rebuilt from their 32-bit numbers.
    switch (root) {
        case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case RegistryRoot::Users: return HKEY_USERS;
    }
    return nullptr;
}

HKEY Win32Registry::find(RegistryKey key) const {
    auto open = open_.find(key);
    return open == open_.end() ? nullptr : open->second.get();
}

long Win32Registry::openKey(RegistryRoot root, const std::wstring& path, std::uint32_t access, RegistryKey& key) {
    key = 0;
    HKEY opened = nullptr;
    LONG status = ::RegOpenKeyExW(RootKey(root), path.c_str(), 0, static_cast<REGSAM>(access), &opened);
    if (status != ERROR_SUCCESS) return status;
    key = reinterpret_cast<RegistryKey>(opened);
    open_[key] = UniqueKey(opened);
    return ERROR_SUCCESS;
}

long Win32Registry::queryValue(RegistryKey key, const std::wstring& name, std::uint32_t& type, std::uint8_t* data,
                               std::uint32_t& size) {
    HKEY handle = find(key);
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    DWORD valueType = 0;
    DWORD valueSize = data == nullptr ? 0 : size;
    LONG status = ::RegQueryValueExW(handle, name.c_str(), nullptr, &valueType, data, &valueSize);
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        type = valueType;
        size = valueSize;
    }
    return status;
}

long Win32Registry::setValue(RegistryKey key, const std::wstring& name, std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) {
    HKEY handle = find(key);
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    return ::RegSetValueExW(handle, name.c_str(), 0, type, data, size);
}

long Win32Registry::deleteValue(RegistryKey key, const std::wstring& name) {
    HKEY handle = find(key);
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    return ::RegDeleteValueW(handle, name.c_str());
}

long Win32Registry::closeKey(RegistryKey key) {
    auto open = open_.find(key);
    if (open == open_.end()) return ERROR_INVALID_HANDLE;
    HKEY handle = open->second.release();
    open_.erase(open);
    return ::RegCloseKey(handle);
}

long Win32Registry::enumKey(RegistryKey key, std::uint32_t index, std::wstring& name) {
    name.clear();
    HKEY handle = find(key);
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    // A key name has at most 255 characters.
    wchar_t buffer[256] = {};
    DWORD length = 256;
    LONG status = ::RegEnumKeyExW(handle, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) name.assign(buffer, length);
    return status;
}

}  // namespace hb::win32
