#include "settings/SettingsFileBytes.h"

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
    std::wstring error;  // a file that cannot be read reads as no file
    file.bytes = files.readAll(path, error).value_or("");
    if (file.bytes.size() > kSettingsFileLimit) {
        file.damage = kTooLarge;  // it grew since its size was asked
    } else if (file.bytes.find('\0') != std::string::npos) {
        file.damage = L"it holds NUL bytes";
    }
    if (file.damage) file.bytes.clear();
    return file;
}

}  // namespace hb
