#pragma once
// The program's only access to the registry. Each whole operation opens a
// key, does one thing and closes it again; none reports a failure. Text goes
// through the wide functions, so a path with characters outside the ANSI
// code page is stored and read intact; text the code page can hold is
// stored exactly as the ANSI functions would store it.

#include <cstdint>
#include <string>
#include <variant>

#include "ports/Registry.h"

namespace hb {

// Nothing, a string, or a 32-bit integer.
using RegistryValue = std::variant<std::monostate, std::wstring, std::int32_t>;

RegistryValue GetRegistryValue(Registry& registry, RegistryRoot root, const std::wstring& keyPath,
                               const std::wstring& valueName);
void SetRegistryString(Registry& registry, RegistryRoot root, const std::wstring& keyPath,
                       const std::wstring& valueName, const std::wstring& text);
void DeleteRegistryValue(Registry& registry, RegistryRoot root, const std::wstring& keyPath,
                         const std::wstring& valueName);
long ReadRegistryData(Registry& registry, RegistryKey key, const std::wstring& valueName,
                      RegistryValue& value);
long WriteRegistryData(Registry& registry, RegistryKey key, const std::wstring& valueName,
                       std::uint32_t type, const RegistryValue& value);

}  // namespace hb
