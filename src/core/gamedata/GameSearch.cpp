#include "gamedata/GameSearch.h"

#include <variant>

#include "base/registry.h"
#include "gamedata/EntryText.h"
#include "gamedata/ScanRoots.h"

namespace hb {

namespace {

const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kWindowsKey = L"Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::wstring_view kGameName = L"World of Warcraft";
constexpr std::uint32_t kViews[] = {reg::KEY_WOW64_32KEY_ACCESS, reg::KEY_WOW64_64KEY_ACCESS};

// A key opened for reading in one registry view, closed when it goes.
class ReadKey {
public:
    ReadKey(Registry& registry, const std::wstring& path, std::uint32_t view) : registry_(registry) {
        const std::uint32_t access = reg::KEY_QUERY_VALUE_ACCESS | reg::KEY_ENUMERATE_SUB_KEYS_ACCESS | view;
        if (registry_.openKey(RegistryRoot::LocalMachine, path, access, key_) != reg::SUCCESS) key_ = 0;
    }
    ~ReadKey() {
        if (key_ != 0) registry_.closeKey(key_);
    }
    ReadKey(const ReadKey&) = delete;
    ReadKey& operator=(const ReadKey&) = delete;
    explicit operator bool() const { return key_ != 0; }
    RegistryKey get() const { return key_; }

    std::wstring text(const std::wstring& name) const {
        RegistryValue value;
        if (key_ != 0) ReadRegistryData(registry_, key_, name, value);
        const auto* text = std::get_if<std::wstring>(&value);
        if (text == nullptr) return {};
        return text->substr(0, text->find(L'\0'));
    }

private:
    Registry& registry_;
    RegistryKey key_ = 0;
};

bool StartsWithGameName(const std::wstring& text) {
    return text.size() >= kGameName.size() && SameWithoutCase(std::wstring_view(text).substr(0, kGameName.size()), kGameName);
}

std::wstring WithoutTrailingSeparator(std::wstring folder) {
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    return folder;
}

std::wstring Join(const std::wstring& folder, std::wstring_view name) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

void AddOnce(std::vector<std::wstring>& list, std::wstring folder) {
    if (folder.empty()) return;
    for (const std::wstring& known : list) {
        if (SameWithoutCase(known, folder)) return;
    }
    list.push_back(std::move(folder));
}

}  // namespace

bool HoldsTheGame(FileSystem& files, const std::wstring& folder) {
    if (!files.folderExists(folder)) return false;
    if (files.folderExists(AccountFolderOf(folder))) return true;
    for (const FolderEntry& entry : files.list(folder).entries) {
        if (entry.isFolder && IsFlavourFolderName(entry.name)) return true;
    }
    return false;
}

std::vector<std::wstring> GameFolderCandidates(Registry& registry, FileSystem& files) {
    std::vector<std::wstring> candidates;
    // The launcher records the game among the installed programs.
    for (std::uint32_t view : kViews) {
        ReadKey uninstall(registry, kUninstallKey, view);
        if (!uninstall) continue;
        std::wstring name;
        for (std::uint32_t index = 0; registry.enumKey(uninstall.get(), index, name) == reg::SUCCESS; ++index) {
            ReadKey entry(registry, kUninstallKey + L"\\" + name, view);
            if (!StartsWithGameName(name) && !StartsWithGameName(entry.text(L"DisplayName"))) continue;
            AddOnce(candidates, WithoutTrailingSeparator(entry.text(L"InstallLocation")));
        }
    }
    // Where players and the launcher put it by hand.
    for (const std::wstring& drive : files.fixedDriveRoots()) {
        AddOnce(candidates, Join(drive, kGameName));
        AddOnce(candidates, Join(Join(drive, L"Games"), kGameName));
    }
    for (const wchar_t* value : {L"ProgramFilesDir (x86)", L"ProgramW6432Dir", L"ProgramFilesDir"}) {
        for (std::uint32_t view : kViews) {
            std::wstring programFiles = WithoutTrailingSeparator(ReadKey(registry, kWindowsKey, view).text(value));
            if (!programFiles.empty()) AddOnce(candidates, Join(programFiles, kGameName));
        }
    }
    return candidates;
}

std::optional<std::wstring> FindGameFolder(Registry& registry, FileSystem& files) {
    for (const std::wstring& folder : GameFolderCandidates(registry, files)) {
        if (HoldsTheGame(files, folder)) return folder;
    }
    return std::nullopt;
}

}  // namespace hb
