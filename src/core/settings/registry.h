#pragma once
// The program's only access to the registry. Each whole operation opens a
// key, does one thing and closes it again; none reports a failure.

#include <cstdint>
#include <string>
#include <variant>

#include "ports/Registry.h"

namespace hb {

// Nothing, a string, or a 32-bit integer.
using RegistryValue = std::variant<std::monostate, std::string, std::int32_t>;

RegistryValue GetRegistryValue(Registry& registry, RegistryRoot root, const std::string& keyPath,
                               const std::string& valueName);
void SetRegistryString(Registry& registry, RegistryRoot root, const std::string& keyPath,
                       const std::string& valueName, const std::string& text);
void DeleteRegistryValue(Registry& registry, RegistryRoot root, const std::string& keyPath,
                         const std::string& valueName);
long ReadRegistryData(Registry& registry, RegistryKey key, const std::string& valueName,
                      RegistryValue& value);
long WriteRegistryData(Registry& registry, RegistryKey key, const std::string& valueName,
                       std::uint32_t type, const RegistryValue& value);

}  // namespace hb
