#include "settings/SettingsFileBytes.h"

#include <utility>

namespace hb {

namespace {
constexpr const wchar_t* kTooLarge = L"it is larger than 64 KB";
}  // namespace

SettingsFileBytes ReadSettingsFile(FileSystem& files, const std::wstring& path) {
    SettingsFileBytes file;
    if (files.fileSize(path).value_or(0) > kSettingsFileLimit) {
        file.damage = kTooLarge;
        return file;
    }
    std::wstring error;
    std::optional<std::string> bytes = files.readAll(path, error);
    if (!bytes) {
        if (files.pathExists(path)) file.readError = error;  // else: no file yet
        return file;
    }
    file.bytes = std::move(*bytes);
    if (file.bytes.size() > kSettingsFileLimit) {
        file.damage = kTooLarge;  // it grew since its size was asked
    } else if (file.bytes.find('\0') != std::string::npos) {
        file.damage = L"it holds NUL bytes";
    }
    if (file.damage) file.bytes.clear();
    return file;
}

}  // namespace hb
