#pragma once
// The bytes of "settings.txt" as start-up reads them, and whether they can
// be a file any version wrote. Three short lines are a few hundred bytes;
// a file holding NUL bytes, or larger than 64 KB, was damaged (a crash or a
// disk error while it was written, another program's data in its place)
// and is not used. A damaged file that large is not even read: a 20 MB one
// cost seconds and hundreds of megabytes at start-up.

#include <cstdint>
#include <optional>
#include <string>

#include "ports/FileSystem.h"

namespace hb {

inline constexpr std::uint64_t kSettingsFileLimit = 64 * 1024;

struct SettingsFileBytes {
    std::string bytes;                  // empty when missing, unreadable or damaged
    std::optional<std::wstring> damage;  // why it is damaged ("it holds NUL bytes"), or nothing
    // Why a file that is there could not be read (another program holds
    // it, no permission), or nothing. Like a damaged one it is not used
    // and must not be overwritten with empty fields.
    std::optional<std::wstring> readError;
};

SettingsFileBytes ReadSettingsFile(FileSystem& files, const std::wstring& path);

}  // namespace hb
